// What the companion needs of the operating system, one implementation per
// system: POSIX descriptors, or Windows wide-character handles. Paths are
// UTF-8 throughout; the Windows side converts them, and gives absolute paths
// the \\?\ form so that they may be longer than 260 characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "merged_name.h"

namespace sundrel::cli {

class File {
public:
    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool OpenForReading(const std::string& path);
    // Never over an existing file. The new file gets the permissions (or
    // attributes) of likeFile, as a piece takes its source's.
    bool CreateNew(const std::string& path, const std::string& likeFile);
    // One system read; *got is 0 only at the end of the file.
    bool Read(void* buffer, size_t n, size_t* got);
    // n bytes at offset, as many reads as it takes; *got < n only at the
    // end of the file. Recovery pieces and the pieces they rebuild are read
    // anywhere.
    bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got);
    bool WriteAll(const void* data, size_t n);
    // Empties the file; the next write goes to its start.
    bool Truncate();
    // The written bytes on the disk, not only in the system's cache.
    bool Sync();
    bool Size(uint64_t* size);
    // False when the system reports an error on closing (a late write error).
    bool Close();
    bool IsOpen() const;
    // The system's reason for the last failure of this file.
    const std::string& Error() const { return error_; }

private:
    void NoteError();
#ifdef _WIN32
    void* handle_ = reinterpret_cast<void*>(-1);
#else
    int fd_ = -1;
#endif
    std::string error_;
};

enum class PathKind { Missing, File, Folder, Other };
PathKind KindOf(const std::string& path);

// Names of the regular files in folder; false with the reason in error.
bool ListFiles(const std::string& folder, std::vector<std::string>* names, std::string* error);
// Removes a file, a read-only one too.
bool RemoveFile(const std::string& path);
// Renames a file within its folder, over an existing file of the new name
// (atomically where the system can). false with the reason in error.
bool RenameOver(const std::string& from, const std::string& to, std::string* error);
// The folder's entries on the disk (after creating and renaming files in it).
bool SyncFolder(const std::string& folder, std::string* error);
// Whether two paths of one folder lead to the same file (as two spellings
// of one name do on a file system that ignores case).
bool SameFile(const std::string& a, const std::string& b);
// The folder as an absolute path without links, to tell two spellings of
// one folder apart; the path itself when that cannot be had.
std::string CanonicalFolder(const std::string& folder);
unsigned ProcessId();

// The folder part of a path ("." when there is none) and its last component.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

uint32_t SecondsSince1970();
StampTime LocalTimeNow();
StampTime UtcTimeOf(uint32_t secondsSince1970);

bool UserWantsJapanese();
bool StderrIsTerminal();
// false with the reason in error when not every byte was written.
bool WriteStdout(const std::string& text, std::string* error);
void WriteStderr(const std::string& text);

// Ctrl-C and termination requests only set a flag, which the operations
// test before every block.
void WatchInterrupts();
bool Interrupted();
// The exit code of the request: 130 for Ctrl-C (SIGINT), 143 for a
// termination request (SIGTERM), 129 for a hang-up; 0 when none came.
int InterruptExitCode();

// The arguments as UTF-8: on Windows taken from the wide command line.
std::vector<std::string> Arguments(int argc, char** argv);

}  // namespace sundrel::cli

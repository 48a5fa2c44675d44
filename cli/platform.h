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

// One stretch of bytes of a gathered write.
struct WritePart {
    const uint8_t* data;
    size_t size;
};

// The most parts a sink collects before it writes them.
constexpr size_t kMaxWriteParts = 512;
// Whether WriteParts hands its parts to the system in one call; where it
// cannot, a sink copies the bytes together instead.
#ifdef _WIN32
constexpr bool kGatherWrites = false;
#else
constexpr bool kGatherWrites = true;
#endif

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
    bool WriteAll(const void* data, size_t n);
    // Writes every byte of the parts in order (at most kMaxWriteParts).
    bool WriteParts(const WritePart* parts, size_t count);
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

// The folder part of a path ("." when there is none) and its last component.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

uint32_t SecondsSince1970();
StampTime LocalTimeNow();
StampTime UtcTimeOf(uint32_t secondsSince1970);

bool UserWantsJapanese();
bool StderrIsTerminal();
void WriteStdout(const std::string& text);
void WriteStderr(const std::string& text);

// Ctrl-C (and on POSIX a termination request) only sets a flag, which the
// operations test before every block.
void WatchInterrupts();
bool Interrupted();

// The arguments as UTF-8: on Windows taken from the wide command line.
std::vector<std::string> Arguments(int argc, char** argv);

}  // namespace sundrel::cli

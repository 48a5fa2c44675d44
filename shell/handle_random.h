// Streams over Windows file handles for recovery pieces: the source read
// anywhere in, stripe by stripe, and a merged file that can begin again.
#pragma once

#include <windows.h>

#include "piece_io.h"

// Reads at an offset with an OVERLAPPED position, so that it works on any
// handle opened for reading, sequential ones included.
class HandleRandomSource : public sundrel::RandomSource {
public:
    explicit HandleRandomSource(HANDLE file) : file_(file) {}
    bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got) override;
    bool Size(uint64_t* size) override;

private:
    HANDLE file_;
};

// The same over a file it opens itself (shared for reading) and closes.
class OpenedRandomSource : public HandleRandomSource {
public:
    explicit OpenedRandomSource(HANDLE file) : HandleRandomSource(file), owned_(file) {}
    ~OpenedRandomSource() override { CloseHandle(owned_); }
    OpenedRandomSource(const OpenedRandomSource&) = delete;
    OpenedRandomSource& operator=(const OpenedRandomSource&) = delete;

private:
    HANDLE owned_;
};

// Writes at the file's position; Restart empties the file and writes from
// its start again.
class HandleRestartableSink : public sundrel::RestartableSink {
public:
    explicit HandleRestartableSink(HANDLE file) : file_(file) {}
    bool Write(const void* data, size_t n) override;
    bool Restart() override;

private:
    HANDLE file_;
};

// The core's byte streams over files, in large buffers: the core reads and
// writes a block at a time, the system sees many blocks at a time.
#pragma once

#include <cstdint>
#include <memory>

#include "piece_io.h"
#include "platform.h"

namespace sundrel::cli {

// Large enough that a system call moves many blocks, small enough that the
// bytes read are still in the processor's cache when they are written.
constexpr size_t kStreamBuffer = size_t(256) << 10;

class FileSink;

class FileSource : public ByteSource {
public:
    explicit FileSource(File& file);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool Read(void* buffer, size_t n, size_t* got) override;
    bool View(size_t n, uint8_t* scratch, const uint8_t** data, size_t* got) override;
    const std::string& Error() const { return file_.Error(); }
    // Whether the bytes lie in this source's buffer.
    bool Holds(const void* data, size_t n) const;

private:
    friend void LinkViews(FileSource& source, FileSink& sink);
    friend class FileSink;

    // Reads on behind what the buffer holds until it holds n bytes from pos_
    // or the file ends.
    bool Fill(size_t n);
    // The linked sink writes what it still points at here before the
    // buffer's bytes change.
    void ReleaseViews();

    File& file_;
    std::unique_ptr<uint8_t[]> buffer_;   // never zero-filled: only read bytes are looked at
    size_t pos_ = 0, end_ = 0;
    bool atEnd_ = false;
    FileSink* viewer_ = nullptr;
};

// Collects writes and hands them to the system together. Where the system
// can gather, bytes that lie in the linked source's buffer are written from
// there, not copied; everything else is copied into a buffer of its own.
// A failed write is kept: every later Write and Flush fails too.
class FileSink : public ByteSink {
public:
    explicit FileSink(File& file);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    bool Write(const void* data, size_t n) override;
    // Writes what is collected; false on this or an earlier write error.
    bool Flush();

private:
    friend void LinkViews(FileSource& source, FileSink& sink);
    friend class FileSource;

    void Add(const uint8_t* data, size_t n);

    File& file_;
    std::unique_ptr<uint8_t[]> own_;
    size_t ownUsed_ = 0;
    WritePart parts_[kMaxWriteParts];
    size_t partCount_ = 0;
    bool failed_ = false;
    FileSource* viewed_ = nullptr;
};

// Lets sink point at source's buffer until either of them goes: the sink is
// flushed before the source reuses its buffer and when the source goes.
void LinkViews(FileSource& source, FileSink& sink);

}  // namespace sundrel::cli

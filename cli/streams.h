// The core's byte streams over files, in large buffers: the core reads and
// writes a block at a time, the system sees many blocks at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "piece_io.h"
#include "platform.h"

namespace sundrel::cli {

// Large enough that a system call moves many blocks, small enough that the
// bytes read are still in the processor's cache when they are written.
constexpr size_t kStreamBuffer = size_t(256) << 10;

// Lets the core look at blocks in place in the read buffer (View), which
// saves the copy of every byte that the check reads. Every byte lies in the
// buffer at the same offset within a page as in the file, so that the system
// copies whole aligned pages into it.
class FileSource : public ByteSource {
public:
    explicit FileSource(File& file);
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool Read(void* buffer, size_t n, size_t* got) override;
    bool View(size_t n, uint8_t* scratch, const uint8_t** data, size_t* got) override;
    const std::string& Error() const { return file_.Error(); }

private:
    // Reads on behind what the buffer holds until it holds n bytes from pos_
    // or the file ends.
    bool Fill(size_t n);

    File& file_;
    std::unique_ptr<uint8_t[]> memory_;   // never zero-filled: only read bytes are looked at
    uint8_t* buffer_;                     // page-aligned within memory_
    size_t pos_ = 0, end_ = 0;
    uint64_t fileOffset_ = 0;             // of buffer_[end_]
    bool atEnd_ = false;
};

// Collects writes in a buffer and hands it to the system when full. A failed
// write is kept: every later Write and Flush fails too.
class FileSink : public ByteSink {
public:
    explicit FileSink(File& file);
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    bool Write(const void* data, size_t n) override;
    // Writes what is collected; false on this or an earlier write error.
    bool Flush();

private:
    File& file_;
    std::unique_ptr<uint8_t[]> memory_;
    uint8_t* buffer_;   // page-aligned within memory_
    size_t used_ = 0;
    bool failed_ = false;
};

// A file read anywhere: recovery pieces and the pieces they rebuild, or the
// source of the recovery pieces. Owns the file it opens, or reads one open.
class FileRandomSource : public RandomSource {
public:
    FileRandomSource() : file_(own_) {}
    explicit FileRandomSource(File& file) : file_(file) {}
    bool Open(const std::string& path) { return file_.OpenForReading(path); }
    bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got) override
    {
        return file_.ReadAt(offset, buffer, n, got);
    }
    bool Size(uint64_t* size) override { return file_.Size(size); }
    const std::string& Error() const { return file_.Error(); }

private:
    File own_;
    File& file_;
};

// A FileSink that can begin the file again from nothing, as a merge through
// recovery pieces does when it meets damage on its straight way through.
class RestartableFileSink : public RestartableSink {
public:
    explicit RestartableFileSink(File& file) : file_(file) { sink_.emplace(file); }
    bool Write(const void* data, size_t n) override { return sink_->Write(data, n); }
    bool Restart() override
    {
        sink_.reset();   // what it collected belongs to the output given up
        if (!file_.Truncate())
            return false;
        sink_.emplace(file_);
        return true;
    }
    bool Flush() { return sink_->Flush(); }

private:
    File& file_;
    std::optional<FileSink> sink_;
};

}  // namespace sundrel::cli

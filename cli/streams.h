// The core's byte streams over files, in large buffers: the core reads and
// writes a block at a time, the system sees a MiB at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "piece_io.h"
#include "platform.h"

namespace sundrel::cli {

constexpr size_t kStreamBuffer = size_t(1) << 20;

class FileSource : public ByteSource {
public:
    explicit FileSource(File& file) : file_(file), buffer_(kStreamBuffer) {}
    bool Read(void* buffer, size_t n, size_t* got) override;
    bool View(size_t n, uint8_t* scratch, const uint8_t** data, size_t* got) override;
    const std::string& Error() const { return file_.Error(); }

private:
    // Reads on behind what the buffer holds until it holds n bytes from pos_
    // or the file ends.
    bool Fill(size_t n);

    File& file_;
    std::vector<uint8_t> buffer_;
    size_t pos_ = 0, end_ = 0;
    bool atEnd_ = false;
};

class FileSink : public ByteSink {
public:
    explicit FileSink(File& file) : file_(file) { buffer_.reserve(kStreamBuffer); }
    bool Write(const void* data, size_t n) override;
    // Writes what is buffered; false on a write error.
    bool Flush();

private:
    File& file_;
    std::vector<uint8_t> buffer_;
};

}  // namespace sundrel::cli

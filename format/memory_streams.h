// Byte streams over memory: for tests, fuzz targets and anything that holds
// a piece in memory.
#pragma once

#include <cstring>
#include <string>

#include "piece_io.h"

namespace sundrel {

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    bool Read(void* buffer, size_t n, size_t* got) override
    {
        *got = n < bytes_.size() - pos_ ? n : bytes_.size() - pos_;
        std::memcpy(buffer, bytes_.data() + pos_, *got);
        pos_ += *got;
        return true;
    }
    bool View(size_t n, uint8_t*, const uint8_t** data, size_t* got) override
    {
        *data = reinterpret_cast<const uint8_t*>(bytes_.data()) + pos_;
        *got = n < bytes_.size() - pos_ ? n : bytes_.size() - pos_;
        pos_ += *got;
        return true;
    }

private:
    std::string bytes_;
    size_t pos_ = 0;
};

class MemorySink : public ByteSink {
public:
    explicit MemorySink(size_t limit = std::string::npos) : limit_(limit) {}
    bool Write(const void* data, size_t n) override
    {
        if (bytes.size() + n > limit_)
            return false;
        bytes.append(static_cast<const char*>(data), n);
        return true;
    }
    std::string bytes;

private:
    size_t limit_;
};

}  // namespace sundrel

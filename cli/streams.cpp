#include "streams.h"

#include <cstring>

namespace sundrel::cli {

FileSource::FileSource(File& file) : file_(file), buffer_(new uint8_t[kStreamBuffer]) {}

bool FileSource::Read(void* buffer, size_t n, size_t* got)
{
    uint8_t* out = static_cast<uint8_t*>(buffer);
    *got = 0;
    while (*got < n) {
        if (pos_ == end_) {
            if (atEnd_)
                return true;
            size_t read = 0;
            if (!file_.Read(buffer_.get(), kStreamBuffer, &read))
                return false;
            pos_ = 0;
            end_ = read;
            atEnd_ = read == 0;
            continue;
        }
        size_t take = end_ - pos_ < n - *got ? end_ - pos_ : n - *got;
        std::memcpy(out + *got, buffer_.get() + pos_, take);
        pos_ += take;
        *got += take;
    }
    return true;
}

bool FileSource::Fill(size_t n)
{
    if (pos_ + n > kStreamBuffer) {
        std::memmove(buffer_.get(), buffer_.get() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    while (end_ - pos_ < n && !atEnd_) {
        size_t read = 0;
        if (!file_.Read(buffer_.get() + end_, kStreamBuffer - end_, &read))
            return false;
        end_ += read;
        atEnd_ = read == 0;
    }
    return true;
}

bool FileSource::View(size_t n, uint8_t* scratch, const uint8_t** data, size_t* got)
{
    if (n > kStreamBuffer)
        return ByteSource::View(n, scratch, data, got);
    if (end_ - pos_ < n && !Fill(n))
        return false;
    *data = buffer_.get() + pos_;
    *got = end_ - pos_ < n ? end_ - pos_ : n;
    pos_ += *got;
    return true;
}

FileSink::FileSink(File& file) : file_(file), buffer_(new uint8_t[kStreamBuffer]) {}

bool FileSink::Write(const void* data, size_t n)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (n > 0 && !failed_) {
        if (used_ == kStreamBuffer && !Flush())
            break;
        size_t take = n < kStreamBuffer - used_ ? n : kStreamBuffer - used_;
        std::memcpy(buffer_.get() + used_, bytes, take);
        used_ += take;
        bytes += take;
        n -= take;
    }
    return !failed_;
}

bool FileSink::Flush()
{
    if (!failed_ && used_ > 0)
        failed_ = !file_.WriteAll(buffer_.get(), used_);
    used_ = 0;
    return !failed_;
}

}  // namespace sundrel::cli

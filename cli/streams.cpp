#include "streams.h"

#include <cstring>

namespace sundrel::cli {

bool FileSource::Read(void* buffer, size_t n, size_t* got)
{
    uint8_t* out = static_cast<uint8_t*>(buffer);
    *got = 0;
    while (*got < n) {
        if (pos_ == end_) {
            if (atEnd_)
                return true;
            size_t read = 0;
            if (!file_.Read(buffer_.data(), buffer_.size(), &read))
                return false;
            pos_ = 0;
            end_ = read;
            atEnd_ = read == 0;
            continue;
        }
        size_t take = end_ - pos_ < n - *got ? end_ - pos_ : n - *got;
        std::memcpy(out + *got, buffer_.data() + pos_, take);
        pos_ += take;
        *got += take;
    }
    return true;
}

bool FileSource::Fill(size_t n)
{
    if (pos_ + n > buffer_.size()) {
        std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    while (end_ - pos_ < n && !atEnd_) {
        size_t read = 0;
        if (!file_.Read(buffer_.data() + end_, buffer_.size() - end_, &read))
            return false;
        end_ += read;
        atEnd_ = read == 0;
    }
    return true;
}

bool FileSource::View(size_t n, uint8_t* scratch, const uint8_t** data, size_t* got)
{
    if (n > buffer_.size())
        return ByteSource::View(n, scratch, data, got);
    if (end_ - pos_ < n && !Fill(n))
        return false;
    *data = buffer_.data() + pos_;
    *got = end_ - pos_ < n ? end_ - pos_ : n;
    pos_ += *got;
    return true;
}

bool FileSink::Write(const void* data, size_t n)
{
    if (buffer_.size() + n > kStreamBuffer && !Flush())
        return false;
    if (n >= kStreamBuffer)
        return file_.WriteAll(data, n);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + n);
    return true;
}

bool FileSink::Flush()
{
    bool ok = buffer_.empty() || file_.WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
}

}  // namespace sundrel::cli

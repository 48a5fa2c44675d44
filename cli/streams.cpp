#include "streams.h"

#include <cstdint>
#include <cstring>

namespace sundrel::cli {

namespace {

constexpr size_t kPage = 4096;

uint8_t* PageAligned(uint8_t* memory)
{
    return memory + (kPage - reinterpret_cast<uintptr_t>(memory) % kPage) % kPage;
}

}  // namespace

FileSource::FileSource(File& file)
    : file_(file), memory_(new uint8_t[kStreamBuffer + kPage]), buffer_(PageAligned(memory_.get()))
{
}

bool FileSource::Fill(size_t n)
{
    if (pos_ + n > kStreamBuffer) {
        // What is left moves to the same place within a page as in the file.
        size_t left = end_ - pos_;
        size_t to = size_t((fileOffset_ - left) % kPage);
        std::memmove(buffer_ + to, buffer_ + pos_, left);
        pos_ = to;
        end_ = to + left;
    }
    while (end_ - pos_ < n && !atEnd_) {
        size_t read = 0;
        if (!file_.Read(buffer_ + end_, kStreamBuffer - end_, &read))
            return false;
        end_ += read;
        fileOffset_ += read;
        atEnd_ = read == 0;
    }
    return true;
}

bool FileSource::Read(void* buffer, size_t n, size_t* got)
{
    uint8_t* out = static_cast<uint8_t*>(buffer);
    *got = 0;
    while (*got < n) {
        if (pos_ == end_ && (atEnd_ || !Fill(1) || pos_ == end_))
            return atEnd_;
        size_t take = end_ - pos_ < n - *got ? end_ - pos_ : n - *got;
        std::memcpy(out + *got, buffer_ + pos_, take);
        pos_ += take;
        *got += take;
    }
    return true;
}

bool FileSource::View(size_t n, uint8_t* scratch, const uint8_t** data, size_t* got)
{
    if (n > kStreamBuffer - kPage)
        return ByteSource::View(n, scratch, data, got);
    if (end_ - pos_ < n && !Fill(n))
        return false;
    *data = buffer_ + pos_;
    *got = end_ - pos_ < n ? end_ - pos_ : n;
    pos_ += *got;
    return true;
}

FileSink::FileSink(File& file)
    : file_(file), memory_(new uint8_t[kStreamBuffer + kPage]), buffer_(PageAligned(memory_.get()))
{
}

bool FileSink::Write(const void* data, size_t n)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (n > 0 && !failed_) {
        if (used_ == kStreamBuffer && !Flush())
            break;
        size_t take = n < kStreamBuffer - used_ ? n : kStreamBuffer - used_;
        std::memcpy(buffer_ + used_, bytes, take);
        used_ += take;
        bytes += take;
        n -= take;
    }
    return !failed_;
}

bool FileSink::Flush()
{
    if (!failed_ && used_ > 0)
        failed_ = !file_.WriteAll(buffer_, used_);
    used_ = 0;
    return !failed_;
}

}  // namespace sundrel::cli

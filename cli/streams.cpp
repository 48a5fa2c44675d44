#include "streams.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace sundrel::cli {

FileSource::FileSource(File& file) : file_(file), buffer_(new uint8_t[kStreamBuffer]) {}

FileSource::~FileSource()
{
    ReleaseViews();
    if (viewer_)
        viewer_->viewed_ = nullptr;
}

void FileSource::ReleaseViews()
{
    // A failed write is kept by the sink and reported at its next write.
    if (viewer_)
        viewer_->Flush();
}

bool FileSource::Holds(const void* data, size_t n) const
{
    std::less_equal<const void*> atOrBefore;
    return atOrBefore(buffer_.get(), data) &&
           atOrBefore(static_cast<const uint8_t*>(data) + n, buffer_.get() + kStreamBuffer);
}

bool FileSource::Read(void* buffer, size_t n, size_t* got)
{
    uint8_t* out = static_cast<uint8_t*>(buffer);
    *got = 0;
    while (*got < n) {
        if (pos_ == end_) {
            if (atEnd_)
                return true;
            ReleaseViews();
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
        ReleaseViews();
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

FileSink::FileSink(File& file) : file_(file), own_(new uint8_t[kStreamBuffer]) {}

FileSink::~FileSink()
{
    if (viewed_)
        viewed_->viewer_ = nullptr;
}

void FileSink::Add(const uint8_t* data, size_t n)
{
    WritePart* last = partCount_ ? &parts_[partCount_ - 1] : nullptr;
    if (last && last->data + last->size == data)
        last->size += n;
    else
        parts_[partCount_++] = {data, n};
}

bool FileSink::Write(const void* data, size_t n)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    bool inPlace = kGatherWrites && viewed_ && viewed_->Holds(data, n);
    while (n > 0 && !failed_) {
        if ((partCount_ == kMaxWriteParts || (!inPlace && ownUsed_ == kStreamBuffer)) && !Flush())
            break;
        size_t take = inPlace ? n : std::min(n, kStreamBuffer - ownUsed_);
        const uint8_t* at = bytes;
        if (!inPlace) {
            at = own_.get() + ownUsed_;
            std::memcpy(own_.get() + ownUsed_, bytes, take);
            ownUsed_ += take;
        }
        Add(at, take);
        bytes += take;
        n -= take;
    }
    return !failed_;
}

bool FileSink::Flush()
{
    if (!failed_ && partCount_ > 0)
        failed_ = !file_.WriteParts(parts_, partCount_);
    partCount_ = 0;
    ownUsed_ = 0;
    return !failed_;
}

void LinkViews(FileSource& source, FileSink& sink)
{
    if (source.viewer_ != &sink && source.viewer_) {
        source.viewer_->Flush();
        source.viewer_->viewed_ = nullptr;
    }
    if (sink.viewed_ != &source && sink.viewed_) {
        sink.Flush();
        sink.viewed_->viewer_ = nullptr;
    }
    source.viewer_ = &sink;
    sink.viewed_ = &source;
}

}  // namespace sundrel::cli

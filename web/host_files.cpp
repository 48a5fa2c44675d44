#include "host_files.h"

#include <cstring>

#include "host.h"

namespace sundrel::web {

namespace {

// Each read of a File costs the browser a round trip to its blob store,
// tens of milliseconds: slices of 16 MiB keep those few.
constexpr size_t kSliceSize = size_t(16) << 20;

size_t SliceFor(const std::vector<HostFileSource::Range>& ranges)
{
    uint64_t total = 0;
    for (const HostFileSource::Range& range : ranges)
        total += range.end - range.begin;
    return (total < kSliceSize ? size_t(total) : kSliceSize) + kChunkSize;
}

std::string HostName(int index)
{
    std::string name(256, '\0');
    int length = HostFileName(index, &name[0], int(name.size()));
    if (length > int(name.size())) {
        name.resize(size_t(length));
        length = HostFileName(index, &name[0], length);
    }
    name.resize(length > 0 ? size_t(length) : 0);
    return name;
}

}  // namespace

HostFolder::HostFolder()
{
    const int count = HostFileCount();
    for (int i = 0; i < count; ++i) {
        names_.push_back(HostName(i));
        indices_.emplace(names_.back(), i);
    }
}

bool HostFolder::ListCandidates(std::string_view, std::vector<std::string>* names)
{
    names->insert(names->end(), names_.begin(), names_.end());
    return true;
}

FileHead HostFolder::ReadHead(std::string_view name)
{
    FileHead head;
    const int index = IndexOf(name);
    const double size = index < 0 ? -1 : HostFileSize(index);
    if (size < 0)
        return head;
    uint8_t id[kPieceIdSize];
    const int got = HostFileRead(index, 0, id, int(kPieceIdSize));
    if (got < 0)
        return head;
    head.readable = true;
    head.length = uint64_t(size);
    head.idBytes = got;
    if (got == int(kPieceIdSize))
        head.id = DecodePieceId(id);
    return head;
}

int HostFolder::IndexOf(std::string_view name) const
{
    auto found = indices_.find(name);
    return found == indices_.end() ? -1 : found->second;
}

HostFileSource::HostFileSource(int file, std::vector<Range> ranges)
    : file_(file), ranges_(std::move(ranges)), slice_(SliceFor(ranges_))
{
    next_ = ranges_.empty() ? 0 : ranges_[0].begin;
}

// At least wanted bytes in the slice, unless the ranges or the file end
// first. A file shorter than its ranges simply ends there.
bool HostFileSource::Fill(size_t wanted)
{
    if (tail_ - head_ >= wanted)
        return true;
    std::memmove(slice_.data(), slice_.data() + head_, tail_ - head_);
    tail_ -= head_;
    head_ = 0;
    while (tail_ < wanted && range_ < ranges_.size()) {
        const Range& range = ranges_[range_];
        const uint64_t left = range.end - next_;
        const size_t room = slice_.size() - tail_;
        const size_t n = left < room ? size_t(left) : room;
        const int got = n ? HostFileRead(file_, double(next_), slice_.data() + tail_, int(n)) : 0;
        if (got < 0)
            return false;
        tail_ += size_t(got);
        next_ += uint64_t(got);
        if (size_t(got) < n || next_ == range.end) {
            if (++range_ < ranges_.size())
                next_ = ranges_[range_].begin;
            if (size_t(got) < n)
                range_ = ranges_.size();
        }
    }
    return true;
}

bool HostFileSource::View(size_t n, uint8_t*, const uint8_t** data, size_t* got)
{
    if (!Fill(n))
        return false;
    *got = n < tail_ - head_ ? n : tail_ - head_;
    *data = slice_.data() + head_;
    head_ += *got;
    return true;
}

bool HostFileSource::Read(void* buffer, size_t n, size_t* got)
{
    const uint8_t* data = nullptr;
    if (!View(n, nullptr, &data, got))
        return false;
    std::memcpy(buffer, data, *got);
    return true;
}

bool BufferSink::Write(const void* data, size_t n)
{
    const auto* in = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), in, in + n);
    return true;
}

}  // namespace sundrel::web

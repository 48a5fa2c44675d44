#include "host_files.h"

#include <cstring>

#include "host.h"

namespace sundrel::web {

namespace {

// Each read of a File costs the browser a round trip to its blob store,
// tens of milliseconds: slices of 16 MiB keep those few.
constexpr size_t kSliceSize = size_t(16) << 20;

constexpr size_t kWindowBudget = size_t(64) << 20;
constexpr size_t kMinWindow = size_t(256) << 10;

}  // namespace

size_t WindowSize(size_t windows)
{
    const size_t size = kWindowBudget / (windows ? windows : 1);
    return size < kMinWindow ? kMinWindow : size > kSliceSize ? kSliceSize : size;
}

namespace {

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

std::unique_ptr<RandomSource> HostFolder::Open(std::string_view name)
{
    const int index = IndexOf(name);
    if (index < 0)
        return nullptr;
    // The windows of all the files a rebuild reads at once share a budget.
    return std::make_unique<HostRandomSource>(index, WindowSize(names_.size()));
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

HostRandomSource::HostRandomSource(int file, size_t windowSize, size_t windows)
    : file_(file), windowSize_(windowSize), windows_(windows)
{
}

bool HostRandomSource::Size(uint64_t* size)
{
    const double length = HostFileSize(file_);
    if (length < 0)
        return false;
    *size = uint64_t(length);
    return true;
}

// The window that holds n bytes from offset; a window the file ended in
// holds whatever it has from there.
HostRandomSource::Window* HostRandomSource::Holding(uint64_t offset, size_t n)
{
    for (Window& window : windows_) {
        const uint64_t end = window.at + window.bytes.size();
        if (offset >= window.at && offset < end && (offset + n <= end || window.bytes.size() < windowSize_))
            return &window;
    }
    return nullptr;
}

bool HostRandomSource::ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got)
{
    if (n > windowSize_) {   // larger than a window: straight through
        const int read = HostFileRead(file_, double(offset), buffer, int(n));
        *got = read > 0 ? size_t(read) : 0;
        return read >= 0;
    }
    Window* window = Holding(offset, n);
    if (!window) {
        window = &windows_[0];
        for (Window& other : windows_)
            if (other.lastUse < window->lastUse)
                window = &other;
        window->bytes.resize(windowSize_);
        const int read = HostFileRead(file_, double(offset), window->bytes.data(), int(windowSize_));
        window->bytes.resize(read > 0 ? size_t(read) : 0);
        window->at = offset;
        if (read < 0)
            return false;
        if (window->bytes.empty()) {   // at or past the end
            *got = 0;
            return true;
        }
    }
    window->lastUse = ++uses_;
    const uint64_t available = window->at + window->bytes.size() - offset;
    *got = n < available ? n : size_t(available);
    std::memcpy(buffer, window->bytes.data() + (offset - window->at), *got);
    return true;
}

HostOutput::HostOutput()
{
    held_.reserve(kSliceSize);
}

bool HostOutput::Answer(int goOn)
{
    ended_ = ended_ || !goOn;
    return !ended_;
}

bool HostOutput::Begin(std::string_view name)
{
    return !ended_ && Answer(HostOutputBegin(name.data(), int(name.size())));
}

bool HostOutput::Flush()
{
    if (ended_)
        return false;
    const bool goOn = held_.empty() || Answer(HostOutputWrite(held_.data(), int(held_.size())));
    held_.clear();
    return goOn;
}

bool HostOutput::Write(const void* data, size_t n)
{
    const auto* in = static_cast<const uint8_t*>(data);
    while (n > 0) {
        const size_t room = kSliceSize - held_.size();
        const size_t take = n < room ? n : room;
        held_.insert(held_.end(), in, in + take);
        in += take;
        n -= take;
        if (held_.size() == kSliceSize && !Flush())
            return false;
    }
    return !ended_;
}

bool HostOutput::Restart()
{
    held_.clear();
    return !ended_ && Answer(HostOutputRestart());
}

bool HostOutput::End()
{
    return Flush() && Answer(HostOutputEnd());
}

bool BufferSink::Write(const void* data, size_t n)
{
    const auto* in = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), in, in + n);
    return true;
}

}  // namespace sundrel::web

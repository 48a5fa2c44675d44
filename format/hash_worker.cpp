#include "hash_worker.h"

#include <cstring>

namespace sundrel {

#ifdef SUNDREL_HASH_THREAD

namespace {

// A few chunks in flight: enough to ride over the bursts of a block loop,
// few enough that the bytes are still in the cache when they are hashed.
constexpr size_t kChunkBytes = size_t(1) << 20;
constexpr size_t kChunks = 4;
constexpr size_t kRecordHead = 5;

}  // namespace

HashWorker::HashWorker()
{
    for (size_t i = 0; i < kChunks; ++i) {
        free_.push_back(std::make_unique<Chunk>());
        free_.back()->bytes.resize(kChunkBytes);
    }
    thread_ = std::thread(&HashWorker::Run, this);
}

HashWorker::~HashWorker()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void HashWorker::Update(unsigned stream, const void* data, size_t n)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (n > 0) {
        if (!filling_ || filling_->used + kRecordHead >= filling_->bytes.size()) {
            std::unique_lock<std::mutex> lock(mutex_);
            if (filling_)
                Hand(lock);
            changed_.wait(lock, [&] { return !free_.empty(); });
            filling_ = std::move(free_.back());
            free_.pop_back();
            filling_->used = 0;
        }
        Chunk& chunk = *filling_;
        size_t room = chunk.bytes.size() - chunk.used - kRecordHead;
        uint32_t take = uint32_t(n < room ? n : room);
        chunk.bytes[chunk.used] = uint8_t(stream);
        std::memcpy(&chunk.bytes[chunk.used + 1], &take, sizeof take);
        std::memcpy(&chunk.bytes[chunk.used + kRecordHead], bytes, take);
        chunk.used += kRecordHead + take;
        bytes += take;
        n -= take;
    }
}

Sha256Digest HashWorker::Finish(unsigned stream)
{
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (filling_)
            Hand(lock);
    }
    Wait();
    return hashes_[stream].Finish();
}

void HashWorker::Hand(std::unique_lock<std::mutex>&)
{
    queued_.push_back(std::move(filling_));
    changed_.notify_all();
}

void HashWorker::Wait()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return queued_.empty() && !busy_; });
}

void HashWorker::HashChunk(const Chunk& chunk)
{
    for (std::vector<ByteRun>& runs : runs_)
        runs.clear();
    for (size_t at = 0; at < chunk.used;) {
        uint32_t n = 0;
        std::memcpy(&n, &chunk.bytes[at + 1], sizeof n);
        runs_[chunk.bytes[at]].push_back({&chunk.bytes[at + kRecordHead], n});
        at += kRecordHead + n;
    }
    static_assert(kStreams == 2, "pairs stream 0 with stream 1");
    // The streams' bytes side by side, as far as both go, whatever their
    // records' lengths; then each one's rest alone.
    size_t next[kStreams] = {};
    while (next[0] < runs_[0].size() && next[1] < runs_[1].size()) {
        ByteRun& first = runs_[0][next[0]];
        ByteRun& second = runs_[1][next[1]];
        const size_t n = first.size < second.size ? first.size : second.size;
        UpdatePair(hashes_[0], first.bytes, n, hashes_[1], second.bytes, n);
        for (ByteRun* run : {&first, &second}) {
            run->bytes += n;
            run->size -= n;
        }
        next[0] += first.size == 0;
        next[1] += second.size == 0;
    }
    for (unsigned stream = 0; stream < kStreams; ++stream)
        for (; next[stream] < runs_[stream].size(); ++next[stream])
            hashes_[stream].Update(runs_[stream][next[stream]].bytes, runs_[stream][next[stream]].size);
}

void HashWorker::Run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stop_ || !queued_.empty(); });
        if (queued_.empty())
            return;
        std::unique_ptr<Chunk> chunk = std::move(queued_.front());
        queued_.erase(queued_.begin());
        busy_ = true;
        lock.unlock();
        HashChunk(*chunk);
        lock.lock();
        busy_ = false;
        free_.push_back(std::move(chunk));
        changed_.notify_all();
    }
}

#else

HashWorker::HashWorker() = default;
HashWorker::~HashWorker() = default;

void HashWorker::Update(unsigned stream, const void* data, size_t n)
{
    hashes_[stream].Update(data, n);
}

Sha256Digest HashWorker::Finish(unsigned stream)
{
    return hashes_[stream].Finish();
}

#endif

}  // namespace sundrel

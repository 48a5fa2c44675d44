// SHA-256 taken on a thread of its own, so that hashing the source and the
// pieces overlaps reading and writing them: on a machine with a second core
// the proof of a division or a merge then costs little time. Where there
// are no threads (WebAssembly), the same calls hash at once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sha256.h"

#if !defined(__wasm__)
#define SUNDREL_HASH_THREAD 1
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>
#endif

namespace sundrel {

// Where the bytes of one hashed stream go.
class HashInput {
public:
    virtual ~HashInput() = default;
    virtual void Update(const void* data, size_t n) = 0;
};

// A hash taken where it is fed.
class DirectHash : public HashInput {
public:
    void Update(const void* data, size_t n) override { hash_.Update(data, n); }
    Sha256Digest Finish() { return hash_.Finish(); }

private:
    Sha256 hash_;
};

class HashWorker {
public:
    static constexpr unsigned kStreams = 2;

    HashWorker();
    ~HashWorker();
    HashWorker(const HashWorker&) = delete;
    HashWorker& operator=(const HashWorker&) = delete;

    // Adds bytes to a stream (0 or 1), in order. They are copied: the
    // caller may reuse its buffer at once.
    void Update(unsigned stream, const void* data, size_t n);
    // The digest of everything added to the stream since its last Finish;
    // the stream then starts anew.
    Sha256Digest Finish(unsigned stream);

    // One stream as a HashInput.
    class Input : public HashInput {
    public:
        Input(HashWorker& worker, unsigned stream) : worker_(worker), stream_(stream) {}
        void Update(const void* data, size_t n) override { worker_.Update(stream_, data, n); }
        Sha256Digest Finish() { return worker_.Finish(stream_); }

    private:
        HashWorker& worker_;
        unsigned stream_;
    };

private:
    Sha256 hashes_[kStreams];
#ifdef SUNDREL_HASH_THREAD
    struct Chunk {
        std::vector<uint8_t> bytes;   // records: stream (1 byte), length (4), the bytes
        size_t used = 0;
    };
    // A stream's bytes within a chunk.
    struct ByteRun {
        const uint8_t* bytes;
        size_t size;
    };
    void Run();
    void HashChunk(const Chunk& chunk);
    void Hand(std::unique_lock<std::mutex>& lock);   // queues the chunk being filled
    void Wait();                                     // until every queued chunk is hashed

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::unique_ptr<Chunk>> free_, queued_;
    std::unique_ptr<Chunk> filling_;
    bool busy_ = false, stop_ = false;
    std::thread thread_;
    std::vector<ByteRun> runs_[kStreams];   // the thread's, kept for their capacity
#endif
};

}  // namespace sundrel

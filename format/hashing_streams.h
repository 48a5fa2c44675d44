// Streams that take the SHA-256 of what passes through them: a division
// with recovery pieces hashes the source as it reads it and every piece as
// it writes it, for the manifest.
#pragma once

#include "piece_io.h"
#include "hash_worker.h"

namespace sundrel {

class HashingSource : public ByteSource {
public:
    HashingSource(ByteSource& source, HashInput& hash) : source_(source), hash_(hash) {}
    bool Read(void* buffer, size_t n, size_t* got) override
    {
        if (!source_.Read(buffer, n, got))
            return false;
        hash_.Update(buffer, *got);
        return true;
    }
    bool View(size_t n, uint8_t* scratch, const uint8_t** data, size_t* got) override
    {
        if (!source_.View(n, scratch, data, got))
            return false;
        hash_.Update(*data, *got);
        return true;
    }

private:
    ByteSource& source_;
    HashInput& hash_;
};

class HashingSink : public ByteSink {
public:
    HashingSink(ByteSink& sink, HashInput& hash) : sink_(sink), hash_(hash) {}
    bool Write(const void* data, size_t n) override
    {
        hash_.Update(data, n);
        return sink_.Write(data, n);
    }

private:
    ByteSink& sink_;
    HashInput& hash_;
};

}  // namespace sundrel

// SHA-256: the buffering and padding around the compression, the choice of
// its path (made once per process), and the hex form of a digest.
#include "sha256.h"

#include <cstring>

#include "cpu_features.h"
#include "sha256_paths.h"

namespace sundrel {

namespace {

// The first 32 bits of the fractional parts of the square roots of the
// first 8 primes.
constexpr uint32_t kInitialState[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                       0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
// The message length in bits ends the last block.
constexpr size_t kLengthFieldSize = 8;

struct Sha256PathList {
    Sha256Path paths[2];
    size_t count;
};

Sha256PathList DetectSha256Paths()
{
    Sha256PathList list{{{"portable", Sha256CompressPortable, nullptr}}, 1};
#if defined(__x86_64__) || defined(_M_X64)
    if (DetectCpuFeatures().sha)
        list.paths[list.count++] = {"sha-ni", Sha256CompressShaNi, Sha256CompressShaNiPair};
#endif
    return list;
}

// Decided once: the processor does not change under a running process.
const Sha256PathList& Sha256Paths()
{
    static const Sha256PathList list = DetectSha256Paths();
    return list;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

const Sha256Path* AvailableSha256Paths(size_t* count)
{
    *count = Sha256Paths().count;
    return Sha256Paths().paths;
}

Sha256::Sha256() : Sha256(Sha256Paths().paths[Sha256Paths().count - 1]) {}

Sha256::Sha256(const Sha256Path& path) : compress_(path.compress), compressPair_(path.compressPair)
{
    Reset();
}

void Sha256::Reset()
{
    std::memcpy(state_, kInitialState, sizeof state_);
    length_ = 0;
    buffered_ = 0;
}

bool Sha256::FillBlock(const uint8_t*& data, size_t& len)
{
    if (buffered_ == 0)
        return true;
    const size_t take = len < kSha256BlockSize - buffered_ ? len : kSha256BlockSize - buffered_;
    std::memcpy(buffer_ + buffered_, data, take);
    buffered_ += take;
    data += take;
    len -= take;
    if (buffered_ < kSha256BlockSize)
        return false;
    compress_(state_, buffer_, 1);
    buffered_ = 0;
    return true;
}

void Sha256::Absorb(const uint8_t* data, size_t len)
{
    // Whole blocks straight from the caller's bytes, in one call, so that a
    // vector path sets up its state once per run.
    const size_t blocks = len / kSha256BlockSize;
    if (blocks > 0) {
        compress_(state_, data, blocks);
        data += blocks * kSha256BlockSize;
        len -= blocks * kSha256BlockSize;
    }
    std::memcpy(buffer_, data, len);
    buffered_ = len;
}

void Sha256::Update(const void* data, size_t len)
{
    if (len == 0)
        return;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    length_ += len;
    if (FillBlock(p, len))
        Absorb(p, len);
}

Sha256Digest Sha256::Finish()
{
    // 0x80, then zeros up to the length field at the end of a block.
    const uint64_t bits = length_ * 8;
    uint8_t padding[2 * kSha256BlockSize] = {0x80};
    const size_t room = kSha256BlockSize - kLengthFieldSize;
    size_t padLength = (buffered_ < room ? room : room + kSha256BlockSize) - buffered_;
    for (size_t i = 0; i < kLengthFieldSize; ++i)
        padding[padLength++] = (uint8_t)(bits >> (56 - 8 * i));
    Update(padding, padLength);

    Sha256Digest digest;
    for (size_t i = 0; i < 8; ++i)
        for (size_t j = 0; j < 4; ++j)
            digest[4 * i + j] = (uint8_t)(state_[i] >> (24 - 8 * j));
    Reset();
    return digest;
}

void UpdatePair(Sha256& a, const void* dataA, size_t lenA, Sha256& b, const void* dataB,
                size_t lenB)
{
    // One hasher twice is one message: its runs go in order.
    if (&a == &b || lenA == 0 || lenB == 0 || !a.compressPair_ || a.compressPair_ != b.compressPair_) {
        a.Update(dataA, lenA);
        b.Update(dataB, lenB);
        return;
    }
    const uint8_t* pa = static_cast<const uint8_t*>(dataA);
    const uint8_t* pb = static_cast<const uint8_t*>(dataB);
    a.length_ += lenA;
    b.length_ += lenB;
    const bool readyA = a.FillBlock(pa, lenA), readyB = b.FillBlock(pb, lenB);
    if (readyA && readyB) {
        const size_t both = (lenA < lenB ? lenA : lenB) / kSha256BlockSize;
        if (both > 0) {
            a.compressPair_(a.state_, pa, b.state_, pb, both);
            pa += both * kSha256BlockSize;
            lenA -= both * kSha256BlockSize;
            pb += both * kSha256BlockSize;
            lenB -= both * kSha256BlockSize;
        }
    }
    // A hasher whose block is still unfinished took all its bytes.
    if (readyA)
        a.Absorb(pa, lenA);
    if (readyB)
        b.Absorb(pb, lenB);
}

Sha256Digest Sha256Of(const void* data, size_t len)
{
    Sha256 hasher;
    hasher.Update(data, len);
    return hasher.Finish();
}

std::string Sha256Hex(const Sha256Digest& digest)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(kSha256HexLength);
    for (uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

bool ParseSha256Hex(std::string_view text, Sha256Digest* digest)
{
    if (text.size() != kSha256HexLength)
        return false;
    Sha256Digest parsed;
    for (size_t i = 0; i < parsed.size(); ++i) {
        const int high = HexValue(text[2 * i]), low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        parsed[i] = (uint8_t)(high << 4 | low);
    }
    *digest = parsed;
    return true;
}

}  // namespace sundrel

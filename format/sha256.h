// SHA-256 (FIPS 180-4) of a whole file or of a piece, in one call or over
// any number of byte runs, and its 64-character hex form. One source for
// every platform: the portable compression everywhere, the x86 SHA
// extensions where the processor has them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sundrel {

constexpr size_t kSha256BlockSize = 64;
constexpr size_t kSha256HexLength = 64;
using Sha256Digest = std::array<uint8_t, 32>;

// The ways this processor can run the compression function, fastest last;
// Sha256 uses the last unless told otherwise. For tests and the benchmark.
struct Sha256Path {
    const char* name;
    // Compresses count whole blocks into the state H0..H7.
    void (*compress)(uint32_t state[8], const uint8_t* blocks, size_t count);
    // The same for two messages at once, count blocks of each; null where
    // two at once gain nothing over one after the other.
    void (*compressPair)(uint32_t stateA[8], const uint8_t* blocksA, uint32_t stateB[8],
                         const uint8_t* blocksB, size_t count);
};
// The paths this process can run, fastest last; count gets their number.
const Sha256Path* AvailableSha256Paths(size_t* count);

// One message at a time: Update with byte runs of any length, then Finish
// for the digest, after which the hasher starts a new message. Allocates
// nothing and keeps no pointer to the data.
class Sha256 {
public:
    Sha256();
    explicit Sha256(const Sha256Path& path);

    void Update(const void* data, size_t len);
    Sha256Digest Finish();
    // Drops what was hashed so far.
    void Reset();

private:
    friend void UpdatePair(Sha256& a, const void* dataA, size_t lenA, Sha256& b, const void* dataB,
                           size_t lenB);
    // Fills the unfinished block from data, moving it on, and compresses
    // the block once full; false when the bytes ran out first.
    bool FillBlock(const uint8_t*& data, size_t& len);
    // Compresses the whole blocks of data and keeps the rest; the block
    // must be empty.
    void Absorb(const uint8_t* data, size_t len);

    void (*compress_)(uint32_t state[8], const uint8_t* blocks, size_t count);
    void (*compressPair_)(uint32_t stateA[8], const uint8_t* blocksA, uint32_t stateB[8],
                          const uint8_t* blocksB, size_t count);
    uint32_t state_[8];
    uint64_t length_;                      // message bytes so far
    uint8_t buffer_[kSha256BlockSize];     // the start of an unfinished block
    size_t buffered_;
};

// Exactly a.Update(dataA, lenA) and then b.Update(dataB, lenB), faster
// where the processor can compress two messages at once.
void UpdatePair(Sha256& a, const void* dataA, size_t lenA, Sha256& b, const void* dataB,
                size_t lenB);

// The digest of len bytes.
Sha256Digest Sha256Of(const void* data, size_t len);

// 64 lowercase hex digits.
std::string Sha256Hex(const Sha256Digest& digest);
// Reads exactly 64 hex digits of either case into *digest; false, with
// *digest untouched, for any other text.
bool ParseSha256Hex(std::string_view text, Sha256Digest* digest);

}  // namespace sundrel

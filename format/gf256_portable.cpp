// The portable path: table lookups a byte at a time, destination by
// destination. Any processor, WebAssembly included.
#include <cstring>

#include "gf256_paths.h"

namespace sundrel {

namespace {

// From this many bytes on, a coefficient's 256 products are worked out
// first: one lookup a byte then instead of two. Measured about 1.7 times
// as fast over 4 KiB.
constexpr size_t kProductRowMinimum = 512;

inline uint8_t Product(const GfMultiplier& m, uint8_t x)
{
    return m.low[x & 0x0F] ^ m.high[x >> 4];
}

// dest = multiply(source) for the first source, dest ^= for the others:
// the destination is never read before it is written.
template <typename Multiply>
void Accumulate(const uint8_t* source, uint8_t* dest, size_t begin, size_t len, bool first, Multiply multiply)
{
    if (first)
        for (size_t i = begin; i < len; ++i)
            dest[i] = multiply(source[i]);
    else
        for (size_t i = begin; i < len; ++i)
            dest[i] ^= multiply(source[i]);
}

void DotProduct(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                uint8_t* dest, size_t begin, size_t len)
{
    if (sourceCount == 0)
        std::memset(dest + begin, 0, len - begin);
    for (size_t s = 0; s < sourceCount; ++s) {
        const GfMultiplier& m = multipliers[s];
        if (len - begin >= kProductRowMinimum) {
            uint8_t row[256];
            for (unsigned x = 0; x < 256; ++x)
                row[x] = Product(m, (uint8_t)x);
            Accumulate(sources[s], dest, begin, len, s == 0, [&](uint8_t x) { return row[x]; });
        } else {
            Accumulate(sources[s], dest, begin, len, s == 0, [&](uint8_t x) { return Product(m, x); });
        }
    }
}

}  // namespace

void GfDotProductsTail(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                       uint8_t* const* dests, size_t destCount, size_t begin, size_t len)
{
    for (size_t d = 0; d < destCount; ++d)
        DotProduct(multipliers + d * sourceCount, sources, sourceCount, dests[d], begin, len);
}

void GfDotProductsPortable(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                           uint8_t* const* dests, size_t destCount, size_t len)
{
    GfDotProductsTail(multipliers, sources, sourceCount, dests, destCount, 0, len);
}

}  // namespace sundrel

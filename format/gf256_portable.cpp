// The portable path: each product looked up in the coefficient's two
// nibble tables, destination by destination. Any processor, WebAssembly
// included.
#include <cstring>

#include "gf256_paths.h"

namespace sundrel {

namespace {

inline uint8_t Product(const GfMultiplier& m, uint8_t x)
{
    return m.low[x & 0x0F] ^ m.high[x >> 4];
}

void DotProduct(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                uint8_t* dest, size_t begin, size_t len)
{
    if (sourceCount == 0) {
        std::memset(dest + begin, 0, len - begin);
        return;
    }
    // The first source writes, the others add: the destination is never read
    // before it is written.
    const GfMultiplier& first = multipliers[0];
    for (size_t i = begin; i < len; ++i)
        dest[i] = Product(first, sources[0][i]);
    for (size_t s = 1; s < sourceCount; ++s) {
        const GfMultiplier& m = multipliers[s];
        const uint8_t* source = sources[s];
        for (size_t i = begin; i < len; ++i)
            dest[i] ^= Product(m, source[i]);
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

// Arithmetic in GF(2^8) with the polynomial x^8+x^4+x^3+x^2+1 (0x11D) and
// the generator 2: the field of the recovery code. Addition is XOR. The
// tables are built by the compiler, so nothing is set up at run time.
#pragma once

#include <cstdint>

namespace sundrel {

struct Gf256Tables {
    uint8_t exp[510];   // exp[i] = 2^i, twice round, so that a sum of two logs needs no reduction
    uint8_t log[256];   // log[0] is never used
};

constexpr Gf256Tables MakeGf256Tables()
{
    Gf256Tables tables{};
    unsigned value = 1;
    for (unsigned i = 0; i < 255; ++i) {
        tables.exp[i] = tables.exp[i + 255] = (uint8_t)value;
        tables.log[value] = (uint8_t)i;
        value <<= 1;
        if (value & 0x100)
            value ^= 0x11D;
    }
    return tables;
}

inline constexpr Gf256Tables kGf256 = MakeGf256Tables();

constexpr uint8_t GfMul(uint8_t a, uint8_t b)
{
    return a == 0 || b == 0 ? 0 : kGf256.exp[kGf256.log[a] + kGf256.log[b]];
}

// The inverse of a nonzero element; 0 for 0, which has none.
constexpr uint8_t GfInv(uint8_t a)
{
    return a == 0 ? 0 : kGf256.exp[255 - kGf256.log[a]];
}

}  // namespace sundrel

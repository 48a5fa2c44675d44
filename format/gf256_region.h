// Products of whole regions of bytes with elements of GF(2^8): what carries
// the work of the recovery code. One path per instruction set, chosen once
// per process.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sundrel {

// One coefficient in the forms the paths multiply by, made once and reused
// over every stripe.
struct GfMultiplier {
    uint8_t low[16];    // c·x for x = 0..15
    uint8_t high[16];   // c·(x << 4)
    uint64_t affine;    // multiplication by c as the bit matrix of GF2P8AFFINEQB
};

GfMultiplier MakeGfMultiplier(uint8_t c);

// dests[d][0..len) = XOR over s of multipliers[d·sourceCount + s]·sources[s][0..len),
// for d < destCount: each destination is written once, never read. No
// destination may overlap a source. With no source the destinations are zeroed.
using GfDotProducts = void (*)(const GfMultiplier* multipliers, const uint8_t* const* sources,
                               size_t sourceCount, uint8_t* const* dests, size_t destCount, size_t len);

// The ways this processor can compute them, fastest last.
struct GfRegionPath {
    const char* name;
    GfDotProducts dotProducts;
};
// The paths this process can run, fastest last; count gets their number.
const GfRegionPath* AvailableGfRegionPaths(size_t* count);
// The fastest of them.
GfDotProducts FastestGfDotProducts();

}  // namespace sundrel

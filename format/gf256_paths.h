// The implementations behind GfDotProducts, one file each, interchangeable
// at any length and alignment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "gf256_region.h"

namespace sundrel {

// Table lookups, a byte at a time; any processor, WebAssembly included.
void GfDotProductsPortable(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                           uint8_t* const* dests, size_t destCount, size_t len);
// The same over bytes begin..len only: how the vector paths end.
void GfDotProductsTail(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                       uint8_t* const* dests, size_t destCount, size_t begin, size_t len);

#if defined(__x86_64__) || defined(_M_X64)
// Nibble tables looked up 16 bytes at a time (PSHUFB).
void GfDotProductsSsse3(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                        uint8_t* const* dests, size_t destCount, size_t len);
// The same 32 bytes at a time (VPSHUFB).
void GfDotProductsAvx2(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                       uint8_t* const* dests, size_t destCount, size_t len);
// Bit-matrix multiplication 64 bytes at a time (GF2P8AFFINEQB on AVX-512).
void GfDotProductsGfni(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                       uint8_t* const* dests, size_t destCount, size_t len);
#endif

// Calls run for a group of size destinations, its size known to the compiler.
template <size_t kSize, typename Run>
void RunGroup(size_t size, size_t first, Run& run)
{
    if constexpr (kSize > 0) {
        if (size == kSize)
            run(first, std::integral_constant<size_t, kSize>{});
        else
            RunGroup<kSize - 1>(size, first, run);
    }
}

// Runs run(first, std::integral_constant<size_t, n>) over the destinations
// in groups of nearly equal size n <= kMaxGroup: a vector path keeps one
// group's sums in registers and reads every source once per group.
template <size_t kMaxGroup, typename Run>
void ForDestinationGroups(size_t destCount, Run run)
{
    size_t groups = (destCount + kMaxGroup - 1) / kMaxGroup;
    for (size_t first = 0; first < destCount; --groups) {
        const size_t size = (destCount - first + groups - 1) / groups;
        RunGroup<kMaxGroup>(size, first, run);
        first += size;
    }
}

}  // namespace sundrel

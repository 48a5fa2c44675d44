// The GFNI path: every product is one GF2P8AFFINEQB on 64 bytes, with the
// coefficient's bit matrix broadcast to every lane. A group of destinations
// keeps its sums in registers while every source is read once; the last
// partial vector is loaded and stored under a byte mask.
#include "gf256_paths.h"

#if defined(__x86_64__) || defined(_M_X64)

#include <immintrin.h>

#include "cpu_features.h"

#define SUNDREL_GFNI SUNDREL_TARGET("avx2,avx512f,avx512bw,gfni")

namespace sundrel {

namespace {

// Up to 16 of the 32 registers hold sums, vectors side by side for each
// destination of a group, so that every source is looked at in runs of
// 128 bytes or more; the rest take the source and products.
constexpr size_t kMaxGroup = 8;

constexpr size_t VectorsFor(size_t group)
{
    return group == 1 ? 8 : group == 2 ? 4 : 2;
}

// The matrix in every lane, in a register. Clang 14 would fold the
// broadcast into GF2P8AFFINEQB as a {1to8} memory operand and encode its
// displacement unscaled (disp8 read as 8 times as far), so it is kept
// from seeing the load.
SUNDREL_GFNI inline __m512i Broadcast(uint64_t matrix)
{
    __m512i lanes = _mm512_set1_epi64((long long)matrix);
#if defined(__clang__)
    __asm__("" : "+v"(lanes));
#endif
    return lanes;
}

// Bytes pos..pos + 64·kVectors - 1 of kGroup destinations; with one vector
// only the bytes under mask.
template <size_t kGroup, size_t kVectors>
SUNDREL_GFNI inline void DotVectors(const GfMultiplier* multipliers, const uint8_t* const* sources,
                                    size_t sourceCount, uint8_t* const* dests, size_t pos, __mmask64 mask)
{
    __m512i sums[kGroup][kVectors];
    for (size_t g = 0; g < kGroup; ++g)
        for (size_t v = 0; v < kVectors; ++v)
            sums[g][v] = _mm512_setzero_si512();
    for (size_t s = 0; s < sourceCount; ++s) {
        __m512i x[kVectors];
        for (size_t v = 0; v < kVectors; ++v)
            x[v] = _mm512_maskz_loadu_epi8(mask, sources[s] + pos + 64 * v);
        for (size_t g = 0; g < kGroup; ++g) {
            const __m512i matrix = Broadcast(multipliers[g * sourceCount + s].affine);
            for (size_t v = 0; v < kVectors; ++v)
                sums[g][v] = _mm512_xor_si512(sums[g][v], _mm512_gf2p8affine_epi64_epi8(x[v], matrix, 0));
        }
    }
    for (size_t g = 0; g < kGroup; ++g)
        for (size_t v = 0; v < kVectors; ++v)
            _mm512_mask_storeu_epi8(dests[g] + pos + 64 * v, mask, sums[g][v]);
}

template <size_t kGroup>
SUNDREL_GFNI void DotGroup(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                           uint8_t* const* dests, size_t len)
{
    constexpr size_t kVectors = VectorsFor(kGroup);
    size_t pos = 0;
    for (; pos + 64 * kVectors <= len; pos += 64 * kVectors)
        DotVectors<kGroup, kVectors>(multipliers, sources, sourceCount, dests, pos, ~__mmask64(0));
    for (; pos + 64 <= len; pos += 64)
        DotVectors<kGroup, 1>(multipliers, sources, sourceCount, dests, pos, ~__mmask64(0));
    if (pos < len)
        DotVectors<kGroup, 1>(multipliers, sources, sourceCount, dests, pos, (__mmask64(1) << (len - pos)) - 1);
}

}  // namespace

void GfDotProductsGfni(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                       uint8_t* const* dests, size_t destCount, size_t len)
{
    ForDestinationGroups<kMaxGroup>(destCount, [&](size_t first, auto group) {
        DotGroup<group()>(multipliers + first * sourceCount, sources, sourceCount, dests + first, len);
    });
}

}  // namespace sundrel

#endif

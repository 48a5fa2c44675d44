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

// 8 of the 32 registers hold sums; the rest take the source and products.
constexpr size_t kMaxGroup = 8;

// Bytes pos..pos+63 of group destinations, those under mask only.
template <size_t kGroup>
SUNDREL_GFNI inline void DotVector(const GfMultiplier* multipliers, const uint8_t* const* sources,
                                   size_t sourceCount, uint8_t* const* dests, size_t pos, __mmask64 mask)
{
    __m512i sums[kGroup];
    for (size_t g = 0; g < kGroup; ++g)
        sums[g] = _mm512_setzero_si512();
    for (size_t s = 0; s < sourceCount; ++s) {
        const __m512i x = _mm512_maskz_loadu_epi8(mask, sources[s] + pos);
        for (size_t g = 0; g < kGroup; ++g) {
            const __m512i matrix = _mm512_set1_epi64((long long)multipliers[g * sourceCount + s].affine);
            sums[g] = _mm512_xor_si512(sums[g], _mm512_gf2p8affine_epi64_epi8(x, matrix, 0));
        }
    }
    for (size_t g = 0; g < kGroup; ++g)
        _mm512_mask_storeu_epi8(dests[g] + pos, mask, sums[g]);
}

template <size_t kGroup>
SUNDREL_GFNI void DotGroup(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                           uint8_t* const* dests, size_t len)
{
    size_t pos = 0;
    for (; pos + 64 <= len; pos += 64)
        DotVector<kGroup>(multipliers, sources, sourceCount, dests, pos, ~__mmask64(0));
    if (pos < len)
        DotVector<kGroup>(multipliers, sources, sourceCount, dests, pos, (__mmask64(1) << (len - pos)) - 1);
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

// The FCS by carry-less multiplication on 64-byte vectors (VPCLMULQDQ with
// AVX-512): four vectors fold 256 bytes a step; at the end they fold into
// one vector, its four lanes into one, and the 16-byte path finishes.
#include "fcs_paths.h"

#if defined(__x86_64__) || defined(_M_X64)

#include <immintrin.h>

#include "cpu_features.h"
#include "fcs_constants.h"

#define SUNDREL_AVX512 SUNDREL_TARGET("avx2,avx512f,pclmul,vpclmulqdq")

namespace sundrel {

namespace {

// Unaligned loads only: neither the data nor, under some Windows
// compilers, the stack gives 64-byte alignment.
SUNDREL_AVX512 inline __m512i Load(const uint8_t* p)
{
    return _mm512_loadu_si512(p);
}

// The same 16-byte constant in every lane.
SUNDREL_AVX512 inline __m512i Constant(const uint64_t (&k)[2])
{
    const long long lo = (long long)k[0], hi = (long long)k[1];
    return _mm512_set_epi64(hi, lo, hi, lo, hi, lo, hi, lo);
}

// Every lane of x carried forward over the distance of k, plus next.
SUNDREL_AVX512 inline __m512i Fold(__m512i x, __m512i k, __m512i next)
{
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(x, k, 0x00), _mm512_clmulepi64_epi128(x, k, 0x11),
                                     next, 0x96);   // three-way xor
}

}  // namespace

SUNDREL_AVX512 uint16_t FcsUpdateAvx512(uint16_t crc, const uint8_t* p, size_t len)
{
    if (len < 256)
        return FcsUpdateClmul(crc, p, len);
    // The register enters as the first 16 bits of the data.
    __m512i x0 = _mm512_xor_si512(Load(p), _mm512_maskz_set1_epi64(1, crc));
    __m512i x1 = Load(p + 64);
    __m512i x2 = Load(p + 128);
    __m512i x3 = Load(p + 192);
    p += 256;
    len -= 256;
    const __m512i k2048 = Constant(kFold2048);
    for (; len >= 256; p += 256, len -= 256) {
        x0 = Fold(x0, k2048, Load(p));
        x1 = Fold(x1, k2048, Load(p + 64));
        x2 = Fold(x2, k2048, Load(p + 128));
        x3 = Fold(x3, k2048, Load(p + 192));
    }
    const __m512i k512 = Constant(kFold512);
    __m512i x = Fold(x0, Constant(kFold1536), Fold(x1, Constant(kFold1024), Fold(x2, k512, x3)));
    for (; len >= 64; p += 64, len -= 64)
        x = Fold(x, k512, Load(p));

    // Lanes 0 to 2 carried to the end of lane 3; lane 3 stays as it is.
    const __m512i lanes = _mm512_set_epi64(0, 0, (long long)kFold128[1], (long long)kFold128[0],
                                           (long long)kFold256[1], (long long)kFold256[0],
                                           (long long)kFold384[1], (long long)kFold384[0]);
    const __m512i carried = Fold(x, lanes, _mm512_maskz_mov_epi64(0xC0, x));
    // The masked extracts: GCC 12's plain ones warn of an undefined operand.
    const __m256i half = _mm256_xor_si256(_mm512_maskz_extracti64x4_epi64(0xF, carried, 0),
                                          _mm512_maskz_extracti64x4_epi64(0xF, carried, 1));
    const __m128i lane = _mm_xor_si128(_mm256_castsi256_si128(half), _mm256_extracti128_si256(half, 1));
    alignas(16) uint8_t folded[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(folded), lane);
    return FcsFinishFold(folded, p, len);
}

}  // namespace sundrel

#endif

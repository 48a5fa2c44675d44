// The FCS by carry-less multiplication on 16-byte lanes (PCLMULQDQ). Four
// accumulators fold 64 bytes a step, so that the multiplier stays busy;
// at the end they fold into one lane, whose remainder the byte table takes.
#include "fcs_paths.h"

#if defined(__x86_64__) || defined(_M_X64)

#include <immintrin.h>

#include "cpu_features.h"
#include "fcs_constants.h"

#define SUNDREL_CLMUL SUNDREL_TARGET("pclmul,sse4.1")

namespace sundrel {

namespace {

SUNDREL_CLMUL inline __m128i Load(const uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

SUNDREL_CLMUL inline __m128i Constant(const uint64_t (&k)[2])
{
    return _mm_set_epi64x((long long)k[1], (long long)k[0]);
}

// x carried forward over the distance of k, plus next.
SUNDREL_CLMUL inline __m128i Fold(__m128i x, __m128i k, __m128i next)
{
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

}  // namespace

SUNDREL_CLMUL uint16_t FcsFinishLanes(const uint8_t lanes[64], const uint8_t* p, size_t len)
{
    __m128i x = Fold(Load(lanes), Constant(kFold384),
                     Fold(Load(lanes + 16), Constant(kFold256),
                          Fold(Load(lanes + 32), Constant(kFold128), Load(lanes + 48))));
    const __m128i k128 = Constant(kFold128);
    for (; len >= 16; p += 16, len -= 16)
        x = Fold(x, k128, Load(p));
    uint8_t lane[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lane), x);
    return FcsUpdateTable(FcsUpdateTable(0, lane, sizeof lane), p, len);
}

SUNDREL_CLMUL uint16_t FcsUpdateClmul(uint16_t crc, const uint8_t* p, size_t len)
{
    if (len < 64)
        return FcsUpdateTable(crc, p, len);
    // The register enters as the first 16 bits of the data.
    __m128i x0 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(crc));
    __m128i x1 = Load(p + 16);
    __m128i x2 = Load(p + 32);
    __m128i x3 = Load(p + 48);
    p += 64;
    len -= 64;
    const __m128i k512 = Constant(kFold512);
    for (; len >= 64; p += 64, len -= 64) {
        x0 = Fold(x0, k512, Load(p));
        x1 = Fold(x1, k512, Load(p + 16));
        x2 = Fold(x2, k512, Load(p + 32));
        x3 = Fold(x3, k512, Load(p + 48));
    }
    uint8_t lanes[64];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), x0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes + 16), x1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes + 32), x2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes + 48), x3);
    return FcsFinishLanes(lanes, p, len);
}

}  // namespace sundrel

#endif

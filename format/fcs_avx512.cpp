// The FCS by carry-less multiplication on 64-byte vectors (VPCLMULQDQ with
// AVX-512): four vectors fold 256 bytes a step; at the end they fold into
// one vector, whose four lanes the 16-byte path finishes.
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
    __m512i x0 = _mm512_xor_si512(Load(p), _mm512_zextsi128_si512(_mm_cvtsi32_si128(crc)));
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

    // The four lanes go to the 16-byte path through memory, which spares
    // the extracts and masks that would do it in registers.
    uint8_t lanes[64];
    _mm512_storeu_si512(lanes, x);
    return FcsFinishLanes(lanes, p, len);
}

}  // namespace sundrel

#endif

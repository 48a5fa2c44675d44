// SHA-256 compression with the x86 SHA extensions. SHA256RNDS2 runs two
// rounds on the working variables held as {A,B,E,F} and {C,D,G,H};
// SHA256MSG1 and SHA256MSG2 extend the message schedule four words at a time.
#include "sha256_paths.h"

#if defined(__x86_64__) || defined(_M_X64)

#include <immintrin.h>

#include "cpu_features.h"

#define SUNDREL_SHA SUNDREL_TARGET("sha,sse4.1")

namespace sundrel {

namespace {

SUNDREL_SHA inline __m128i Load(const void* p)
{
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

// Four big-endian message words of a block.
SUNDREL_SHA inline __m128i LoadWords(const uint8_t* p)
{
    const __m128i kByteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0b, 0x0405060700010203);
    return _mm_shuffle_epi8(Load(p), kByteSwap);
}

// Rounds 4 * group to 4 * group + 3 with the message words w.
SUNDREL_SHA inline void FourRounds(__m128i& abef, __m128i& cdgh, __m128i w, int group)
{
    const __m128i wk = _mm_add_epi32(w, Load(kSha256RoundConstants + 4 * group));
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(wk, 0x0E));   // the upper two words
}

// The next four schedule words from the last sixteen, w0 the oldest:
// W[t-16] + sigma0(W[t-15]) + W[t-7] + sigma1(W[t-2]).
SUNDREL_SHA inline __m128i NextWords(__m128i w0, __m128i w1, __m128i w2, __m128i w3)
{
    const __m128i partial = _mm_add_epi32(_mm_sha256msg1_epu32(w0, w1), _mm_alignr_epi8(w3, w2, 4));
    return _mm_sha256msg2_epu32(partial, w3);
}

}  // namespace

SUNDREL_SHA void Sha256CompressShaNi(uint32_t state[8], const uint8_t* blocks, size_t count)
{
    // H0..H3 and H4..H7 into {A,B,E,F} and {C,D,G,H}, highest lane first.
    const __m128i dcba = Load(state);
    const __m128i hgfe = Load(state + 4);
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        __m128i w0 = LoadWords(blocks), w1 = LoadWords(blocks + 16);
        __m128i w2 = LoadWords(blocks + 32), w3 = LoadWords(blocks + 48);
        FourRounds(abef, cdgh, w0, 0);
        FourRounds(abef, cdgh, w1, 1);
        FourRounds(abef, cdgh, w2, 2);
        FourRounds(abef, cdgh, w3, 3);
        for (int group = 4; group < 16; ++group) {
            const __m128i next = NextWords(w0, w1, w2, w3);
            FourRounds(abef, cdgh, next, group);
            w0 = w1;
            w1 = w2;
            w2 = w3;
            w3 = next;
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

}  // namespace sundrel

#endif

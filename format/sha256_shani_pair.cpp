// Two messages at once with the x86 SHA extensions. SHA256RNDS2 waits on
// its previous result, so one message leaves the unit idle between rounds;
// a second, independent message interleaved step by step fills that gap.
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

SUNDREL_SHA inline __m128i LoadWords(const uint8_t* p)
{
    const __m128i kByteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0b, 0x0405060700010203);
    return _mm_shuffle_epi8(Load(p), kByteSwap);
}

// One message's working variables and its last sixteen schedule words.
struct Lane {
    __m128i abef, cdgh;
    __m128i w0, w1, w2, w3;
};

SUNDREL_SHA inline void ToLane(const uint32_t state[8], Lane& lane)
{
    const __m128i cdab = _mm_shuffle_epi32(Load(state), 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(Load(state + 4), 0x1B);
    lane.abef = _mm_alignr_epi8(cdab, efgh, 8);
    lane.cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
}

SUNDREL_SHA inline void FromLane(const Lane& lane, uint32_t state[8])
{
    const __m128i feba = _mm_shuffle_epi32(lane.abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(lane.cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

// Rounds 4 * group to 4 * group + 3 of both lanes, each with its words w,
// alternating so that either lane's round runs while the other's waits.
SUNDREL_SHA inline void FourRounds(Lane& a, __m128i wa, Lane& b, __m128i wb, int group)
{
    const __m128i k = Load(kSha256RoundConstants + 4 * group);
    const __m128i wka = _mm_add_epi32(wa, k), wkb = _mm_add_epi32(wb, k);
    a.cdgh = _mm_sha256rnds2_epu32(a.cdgh, a.abef, wka);
    b.cdgh = _mm_sha256rnds2_epu32(b.cdgh, b.abef, wkb);
    a.abef = _mm_sha256rnds2_epu32(a.abef, a.cdgh, _mm_shuffle_epi32(wka, 0x0E));
    b.abef = _mm_sha256rnds2_epu32(b.abef, b.cdgh, _mm_shuffle_epi32(wkb, 0x0E));
}

// The next four schedule words, shifted in as w3.
SUNDREL_SHA inline __m128i NextWords(Lane& lane)
{
    const __m128i partial =
        _mm_add_epi32(_mm_sha256msg1_epu32(lane.w0, lane.w1), _mm_alignr_epi8(lane.w3, lane.w2, 4));
    const __m128i next = _mm_sha256msg2_epu32(partial, lane.w3);
    lane.w0 = lane.w1;
    lane.w1 = lane.w2;
    lane.w2 = lane.w3;
    lane.w3 = next;
    return next;
}

}  // namespace

SUNDREL_SHA void Sha256CompressShaNiPair(uint32_t stateA[8], const uint8_t* blocksA,
                                         uint32_t stateB[8], const uint8_t* blocksB, size_t count)
{
    Lane a, b;
    ToLane(stateA, a);
    ToLane(stateB, b);

    for (; count > 0; --count, blocksA += 64, blocksB += 64) {
        const __m128i aAbef = a.abef, aCdgh = a.cdgh, bAbef = b.abef, bCdgh = b.cdgh;
        a.w0 = LoadWords(blocksA);
        a.w1 = LoadWords(blocksA + 16);
        a.w2 = LoadWords(blocksA + 32);
        a.w3 = LoadWords(blocksA + 48);
        b.w0 = LoadWords(blocksB);
        b.w1 = LoadWords(blocksB + 16);
        b.w2 = LoadWords(blocksB + 32);
        b.w3 = LoadWords(blocksB + 48);
        FourRounds(a, a.w0, b, b.w0, 0);
        FourRounds(a, a.w1, b, b.w1, 1);
        FourRounds(a, a.w2, b, b.w2, 2);
        FourRounds(a, a.w3, b, b.w3, 3);
        for (int group = 4; group < 16; ++group) {
            const __m128i nextA = NextWords(a), nextB = NextWords(b);
            FourRounds(a, nextA, b, nextB, group);
        }
        a.abef = _mm_add_epi32(a.abef, aAbef);
        a.cdgh = _mm_add_epi32(a.cdgh, aCdgh);
        b.abef = _mm_add_epi32(b.abef, bAbef);
        b.cdgh = _mm_add_epi32(b.cdgh, bCdgh);
    }

    FromLane(a, stateA);
    FromLane(b, stateB);
}

}  // namespace sundrel

#endif

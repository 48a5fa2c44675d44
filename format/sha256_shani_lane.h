// The steps of SHA-256 with the x86 SHA extensions, shared by the one- and
// two-message paths. SHA256RNDS2 runs two rounds on the working variables
// held as {A,B,E,F} and {C,D,G,H}; SHA256MSG1 and SHA256MSG2 extend the
// message schedule four words at a time. x86-64 only.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "cpu_features.h"
#include "sha256_paths.h"

#define SUNDREL_SHA SUNDREL_TARGET("sha,sse4.1")

namespace sundrel::shani {

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

// One message's working variables and its last sixteen schedule words,
// w0 the oldest.
struct Lane {
    __m128i abef, cdgh;
    __m128i w0, w1, w2, w3;
};

// H0..H3 and H4..H7 into {A,B,E,F} and {C,D,G,H}, highest lane first.
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

// The sixteen words of a block as the schedule's start.
SUNDREL_SHA inline void LoadBlock(Lane& lane, const uint8_t* block)
{
    lane.w0 = LoadWords(block);
    lane.w1 = LoadWords(block + 16);
    lane.w2 = LoadWords(block + 32);
    lane.w3 = LoadWords(block + 48);
}

// The words w with the round constants of rounds 4 * group to 4 * group + 3.
SUNDREL_SHA inline __m128i WithConstants(__m128i w, int group)
{
    return _mm_add_epi32(w, Load(kSha256RoundConstants + 4 * group));
}

// The first two of four rounds, with wk from WithConstants.
SUNDREL_SHA inline void LowerRounds(Lane& lane, __m128i wk)
{
    lane.cdgh = _mm_sha256rnds2_epu32(lane.cdgh, lane.abef, wk);
}

// The last two, with the upper two words of wk.
SUNDREL_SHA inline void UpperRounds(Lane& lane, __m128i wk)
{
    lane.abef = _mm_sha256rnds2_epu32(lane.abef, lane.cdgh, _mm_shuffle_epi32(wk, 0x0E));
}

// The next four schedule words, shifted in as w3:
// W[t-16] + sigma0(W[t-15]) + W[t-7] + sigma1(W[t-2]).
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

// The words of group 0 to 3 come straight from the block.
SUNDREL_SHA inline __m128i BlockWords(const Lane& lane, int group)
{
    return group == 0 ? lane.w0 : group == 1 ? lane.w1 : group == 2 ? lane.w2 : lane.w3;
}

SUNDREL_SHA inline void AddState(Lane& lane, __m128i abef, __m128i cdgh)
{
    lane.abef = _mm_add_epi32(lane.abef, abef);
    lane.cdgh = _mm_add_epi32(lane.cdgh, cdgh);
}

}  // namespace sundrel::shani

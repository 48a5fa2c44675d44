// Two messages at once with the x86 SHA extensions. SHA256RNDS2 waits on
// its previous result, so one message leaves the unit idle between rounds;
// a second, independent message interleaved step by step fills that gap.
#include "sha256_paths.h"

#if defined(__x86_64__) || defined(_M_X64)

#include "sha256_shani_lane.h"

namespace sundrel {

using namespace shani;

SUNDREL_SHA void Sha256CompressShaNiPair(uint32_t stateA[8], const uint8_t* blocksA,
                                         uint32_t stateB[8], const uint8_t* blocksB, size_t count)
{
    Lane a, b;
    ToLane(stateA, a);
    ToLane(stateB, b);
    for (; count > 0; --count, blocksA += 64, blocksB += 64) {
        const __m128i aAbef = a.abef, aCdgh = a.cdgh, bAbef = b.abef, bCdgh = b.cdgh;
        LoadBlock(a, blocksA);
        LoadBlock(b, blocksB);
        for (int group = 0; group < 16; ++group) {
            const __m128i wa = WithConstants(group < 4 ? BlockWords(a, group) : NextWords(a), group);
            const __m128i wb = WithConstants(group < 4 ? BlockWords(b, group) : NextWords(b), group);
            // Alternating, so that either lane's rounds run while the other's wait.
            LowerRounds(a, wa);
            LowerRounds(b, wb);
            UpperRounds(a, wa);
            UpperRounds(b, wb);
        }
        AddState(a, aAbef, aCdgh);
        AddState(b, bAbef, bCdgh);
    }
    FromLane(a, stateA);
    FromLane(b, stateB);
}

}  // namespace sundrel

#endif

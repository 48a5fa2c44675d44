// SHA-256 compression with the x86 SHA extensions, one message.
#include "sha256_paths.h"

#if defined(__x86_64__) || defined(_M_X64)

#include "sha256_shani_lane.h"

namespace sundrel {

using namespace shani;

SUNDREL_SHA void Sha256CompressShaNi(uint32_t state[8], const uint8_t* blocks, size_t count)
{
    Lane lane;
    ToLane(state, lane);
    for (; count > 0; --count, blocks += 64) {
        const __m128i abef = lane.abef, cdgh = lane.cdgh;
        LoadBlock(lane, blocks);
        for (int group = 0; group < 16; ++group) {
            const __m128i wk = WithConstants(group < 4 ? BlockWords(lane, group) : NextWords(lane), group);
            LowerRounds(lane, wk);
            UpperRounds(lane, wk);
        }
        AddState(lane, abef, cdgh);
    }
    FromLane(lane, state);
}

}  // namespace sundrel

#endif

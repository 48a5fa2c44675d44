#include <gtest/gtest.h>

#include <vector>

#include "hash_worker.h"
#include "pseudo_random.h"

namespace sundrel {
namespace {

// Two streams fed in turns, in runs of every size up to beyond a chunk, and
// finished in between: each digest is that of its own bytes.
TEST(HashWorker, StreamsKeepTheirOwnBytesInOrder)
{
    const std::vector<uint8_t> data = PseudoRandomBytes(3 << 20, 7);
    HashWorker worker;
    for (int round = 0; round < 3; ++round) {
        Sha256 expected[2];
        size_t at = 0, step = 1;
        for (unsigned turn = 0; at < data.size(); ++turn, step = step * 3 + 1) {
            size_t n = std::min(step % ((size_t(1) << 21) + 17), data.size() - at);
            worker.Update(turn % 2, &data[at], n);
            expected[turn % 2].Update(&data[at], n);
            at += n;
        }
        EXPECT_EQ(worker.Finish(0), expected[0].Finish()) << round;
        EXPECT_EQ(worker.Finish(1), expected[1].Finish()) << round;
    }
    EXPECT_EQ(worker.Finish(1), Sha256Of(nullptr, 0));
}

}  // namespace
}  // namespace sundrel

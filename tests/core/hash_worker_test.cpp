#include <gtest/gtest.h>

#include <algorithm>
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

// One stream in long records, the other in short ones, and then the long
// one alone: the worker's pairing of the two keeps each stream's bytes.
TEST(HashWorker, StreamsOfVeryDifferentRecordsKeepTheirBytes)
{
    const std::vector<uint8_t> data = PseudoRandomBytes(3 << 20, 9);
    struct Feed {
        size_t longRecord, shortRecord;
    };
    const Feed feeds[] = {{65536, 3}, {4096, 4098}, {300000, 1}, {(size_t(1) << 20) + 5, 77}};
    HashWorker worker;
    for (const Feed& feed : feeds) {
        Sha256 expected[2];
        size_t at = 0;
        for (unsigned turn = 0; at < data.size(); ++turn) {
            const unsigned stream = turn % 2;
            // Stream 1 stops a third of the way: stream 0 then goes on alone.
            if (stream == 1 && at > data.size() / 3)
                continue;
            const size_t n = std::min(stream == 0 ? feed.longRecord : feed.shortRecord, data.size() - at);
            worker.Update(stream, &data[at], n);
            expected[stream].Update(&data[at], n);
            at += n;
        }
        EXPECT_EQ(worker.Finish(0), expected[0].Finish()) << feed.longRecord << "/" << feed.shortRecord;
        EXPECT_EQ(worker.Finish(1), expected[1].Finish()) << feed.longRecord << "/" << feed.shortRecord;
    }
}

}  // namespace
}  // namespace sundrel

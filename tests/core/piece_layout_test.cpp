#include <gtest/gtest.h>

#include <vector>

#include "piece_layout.h"

namespace sundrel {
namespace {

constexpr uint64_t kFull1 = 4 + 256 * 4098;   // a piece of 1 MiB
constexpr uint64_t kFull2 = 4 + 512 * 4098;   // a piece of 2 MiB

TEST(PieceLayout, LengthsOfPieces)
{
    EXPECT_EQ(PieceFileLength(0), 0u);
    EXPECT_EQ(PieceFileLength(1), 7u);
    EXPECT_EQ(PieceFileLength(10000), 10010u);
    EXPECT_EQ(PieceFileLength(16 * kMiB), 16785412u);
    uint64_t data = 0;
    EXPECT_TRUE(PieceDataBytes(10010, &data));
    EXPECT_EQ(data, 10000u);
    EXPECT_TRUE(PieceDataBytes(kFull1, &data));
    EXPECT_EQ(data, kMiB);
    EXPECT_FALSE(PieceDataBytes(4 + 4098 + 2, &data));   // a 2-byte tail
    EXPECT_FALSE(PieceDataBytes(6, &data));
    EXPECT_EQ(PieceCountFor(0, kMiB), 1u);
    EXPECT_EQ(PieceCountFor(kMiB, kMiB), 1u);
    EXPECT_EQ(PieceCountFor(kMiB + 1, kMiB), 2u);
}

TEST(PieceLayout, RuleOfASet)
{
    const uint64_t N = 4 + 256 * 4098;
    struct Row {
        const char* what;
        std::vector<uint64_t> lengths;
        size_t firstBad;
        LengthFault fault;
    } rows[] = {
        {"one empty piece", {0}, 1, LengthFault::None},
        {"one small piece", {7}, 1, LengthFault::None},
        {"one piece of any size", {4 + 3000 * 4098}, 1, LengthFault::None},
        {"two whole pieces", {N, 7}, 2, LengthFault::None},
        {"full last piece", {kFull2, kFull2}, 2, LengthFault::None},
        {"last piece a block short of full", {kFull2, kFull2 - 4098}, 2, LengthFault::None},
        {"first cut at a block boundary", {4 + 200 * 4098, 7}, 0, LengthFault::Misshapen},
        {"first one block short", {N - 4098, 4 + 100}, 0, LengthFault::Misshapen},
        {"first short, second whole", {N - 4098, N, 7}, 0, LengthFault::Truncated},
        {"middle cut to half a MiB", {kFull1, 4 + 128 * 4098, 7}, 1, LengthFault::Truncated},
        {"middle cut to a whole MiB", {kFull2, kFull1, 7}, 1, LengthFault::Truncated},
        {"last longer than the others", {kFull1, kFull1 + 4098}, 1, LengthFault::Grown},
        {"middle grown by two blocks", {kFull1, kFull1 + 2 * 4098, 7}, 1, LengthFault::Grown},
        {"first grown by whole blocks", {kFull1 + 4098, 7}, 0, LengthFault::Misshapen},
        {"tail on the last", {kFull1, 4 + 4098 + 1}, 1, LengthFault::Tail},
        {"tail on the only piece", {4 + 2}, 0, LengthFault::Tail},
        {"empty piece among others", {kFull1, 0}, 1, LengthFault::Truncated},
        {"ID only", {4}, 0, LengthFault::Truncated},
        {"short ID", {3}, 0, LengthFault::Truncated},
        {"first empty", {0, 7}, 0, LengthFault::Misshapen},
    };
    for (const Row& row : rows) {
        std::vector<LengthFault> faults(row.lengths.size());
        size_t first = CheckPieceLengths(row.lengths.data(), row.lengths.size(), faults.data());
        EXPECT_EQ(first, row.firstBad) << row.what;
        if (first < row.lengths.size()) {
            EXPECT_EQ(faults[first], row.fault) << row.what;
        }
    }
}

}  // namespace
}  // namespace sundrel

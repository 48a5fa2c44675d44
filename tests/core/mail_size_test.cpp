#include <gtest/gtest.h>

#include "mail_size.h"
#include "piece_layout.h"

namespace sundrel {
namespace {

// The encoded size: 4 characters per whole group of 3 bytes and 4 for a
// padded last group, then CRLF after every started line of 76.
uint64_t Encoded(uint64_t bytes)
{
    uint64_t chars = bytes / 3 * 4 + (bytes % 3 ? 4 : 0);
    uint64_t lines = chars / 76 + (chars % 76 ? 1 : 0);
    return chars + 2 * lines;
}

TEST(MailSize, Base64Lines)
{
    for (uint64_t bytes : {0u, 1u, 2u, 3u, 56u, 57u, 58u, 114u, 10010u})
        EXPECT_EQ(Base64MailBytes(bytes), Encoded(bytes)) << bytes;
    EXPECT_EQ(Base64MailBytes(57), 78u);
}

// A full piece as it travels: the default 16 MiB piece weighs about 23 MB.
TEST(MailSize, FullPieceAsMail)
{
    for (unsigned miB : {1u, 16u, 50u})
        EXPECT_EQ(PieceMailBytes(miB), Encoded(PieceFileLength(miB * kMiB))) << miB;
    EXPECT_EQ(PieceFileLength(16 * kMiB), 16785412u);
    EXPECT_EQ(PieceMailBytes(16), 22969514u);
}

TEST(MailSize, LargestPieceThatFits)
{
    struct Row {
        uint64_t limit;
        unsigned miB;
    } rows[] = {
        {25000000, 17},          // 25 MB
        {10 * 1000 * 1000, 6},
        {20 * kMiB, 14},
        {150 * 1000 * 1000, 104},
        {1600000, 1},
        {1500000, 0},            // not even 1 MiB fits
        {kMailHeaderAllowance, 0},
    };
    for (const Row& row : rows) {
        unsigned miB = LargestPieceMiBForMail(row.limit);
        EXPECT_EQ(miB, row.miB) << row.limit;
        auto fits = [&](unsigned m) {
            return Encoded(PieceFileLength(m * kMiB)) + kMailHeaderAllowance <= row.limit;
        };
        if (miB > 0) {
            EXPECT_TRUE(fits(miB)) << row.limit;
        }
        EXPECT_FALSE(fits(miB + 1)) << row.limit;
    }
}

}  // namespace
}  // namespace sundrel

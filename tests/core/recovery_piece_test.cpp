#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "piece_layout.h"
#include "recovery_piece.h"

namespace sundrel {
namespace {

RecoveryManifest Sample()
{
    RecoveryManifest m;
    m.id = 1765031234;
    m.sourceSize = 2 * kMiB + 10000;
    m.pieceSize = kMiB;
    m.count = 3;
    m.recoveryCount = 2;
    m.index = 2;
    m.source = Sha256Of("source", 6);
    for (unsigned i = 0; i < m.count; ++i)
        m.pieces.push_back(Sha256Of(&i, sizeof i));
    return m;
}

TEST(RecoveryPiece, ManifestReadsBackAndRefusesWhatIsNotOne)
{
    const RecoveryManifest sample = Sample();
    std::vector<uint8_t> bytes = EncodeManifest(sample);
    ASSERT_EQ(bytes.size(), ManifestLength(3));
    ASSERT_EQ(bytes.size(), 104u + 3 * 32);
    EXPECT_EQ(ManifestLengthOf(bytes.data()), bytes.size());
    RecoveryManifest read;
    ASSERT_EQ(DecodeManifest(bytes.data(), bytes.size(), &read), ManifestFault::None);
    EXPECT_TRUE(read.SameDivision(sample));
    EXPECT_EQ(read.index, 2u);

    const struct {
        const char* what;
        std::function<void(RecoveryManifest&)> change;
        std::function<void(std::vector<uint8_t>&)> damage;
        ManifestFault fault;
    } rows[] = {
        {"cut short", nullptr, [](std::vector<uint8_t>& b) { b.pop_back(); }, ManifestFault::NotRecovery},
        {"no magic", nullptr, [](std::vector<uint8_t>& b) { b[4] = 'X'; }, ManifestFault::NotRecovery},
        {"version 2", nullptr, [](std::vector<uint8_t>& b) { b[12] = 2; }, ManifestFault::NotRecovery},
        {"a piece's digest flipped", nullptr, [](std::vector<uint8_t>& b) { b[100] ^= 1; }, ManifestFault::Check},
        {"its check flipped", nullptr, [](std::vector<uint8_t>& b) { b.back() ^= 0x80; }, ManifestFault::Check},
        {"ID flipped", nullptr, [](std::vector<uint8_t>& b) { b[0] ^= 1; }, ManifestFault::Check},
        {"count beside the sizes", [](RecoveryManifest& m) { m.count = 4; m.pieces.resize(4); }, nullptr, ManifestFault::Values},
        {"piece size not whole MiB", [](RecoveryManifest& m) { m.pieceSize = kMiB + 1; }, nullptr, ManifestFault::Values},
        {"index beyond the count", [](RecoveryManifest& m) { m.index = 3; }, nullptr, ManifestFault::Values},
        {"index 0", [](RecoveryManifest& m) { m.index = 0; }, nullptr, ManifestFault::Values},
        {"more than 255 in all", [](RecoveryManifest& m) { m.recoveryCount = 253; }, nullptr, ManifestFault::Values},
    };
    for (const auto& row : rows) {
        RecoveryManifest m = Sample();
        if (row.change)
            row.change(m);
        std::vector<uint8_t> b = EncodeManifest(m);
        if (row.damage)
            row.damage(b);
        RecoveryManifest out;
        EXPECT_EQ(DecodeManifest(b.data(), b.size(), &out), row.fault) << row.what;
    }
}

TEST(RecoveryPiece, LayoutFollowsTheFirstPiece)
{
    const struct {
        uint64_t sourceSize, pieceSize;
        unsigned count;
        uint64_t stripes;
        size_t lastStripeLength;
        size_t lastPieceBlocks;
    } rows[] = {
        {2 * kMiB + 10000, kMiB, 3, 256, 4096, 3},
        {10000, kMiB, 1, 3, 10000 - 2 * 4096, 3},
        {kMiB, kMiB, 1, 256, 4096, 256},
        {1, kMiB, 1, 1, 1, 1},
        {0, kMiB, 1, 0, 0, 0},
    };
    for (const auto& row : rows) {
        DivisionLayout layout{row.sourceSize, row.pieceSize, row.count};
        EXPECT_EQ(layout.Stripes(), row.stripes) << row.sourceSize;
        if (row.stripes) {
            EXPECT_EQ(layout.StripeLength(row.stripes - 1), row.lastStripeLength) << row.sourceSize;
        }
        size_t blocks = 0;
        for (uint64_t b = 0; b < layout.Stripes(); ++b)
            blocks += layout.BlockLength(row.count - 1, b) ? 1 : 0;
        EXPECT_EQ(blocks, row.lastPieceBlocks) << row.sourceSize;
        uint64_t total = 0;
        for (unsigned p = 0; p < row.count; ++p)
            total += layout.PieceDataBytes(p);
        EXPECT_EQ(total, row.sourceSize);
        EXPECT_EQ(layout.RecoveryPieceLength(),
                  ManifestLength(row.count) + layout.PieceDataBytes(0) + 2 * layout.Stripes());
    }
}

}  // namespace
}  // namespace sundrel

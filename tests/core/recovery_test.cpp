// Divisions with recovery pieces, damaged in every way a mail can damage
// them, merged and repaired in memory.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "fcs.h"
#include "hashing_streams.h"
#include "memory_streams.h"
#include "packed_folder.h"
#include "piece_io.h"
#include "piece_layout.h"
#include "recovery_inspection.h"
#include "recovery_rebuild.h"
#include "recovery_set.h"
#include "recovery_writer.h"

namespace sundrel {
namespace {

const uint32_t kId = 1765031234;

std::string SampleBytes(size_t size, uint32_t seed)
{
    std::string bytes(size, '\0');
    uint32_t state = seed * 0x9E3779B9u + 1;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = char(state >> 24);
    }
    return bytes;
}

struct Division {
    std::string source;
    std::vector<std::string> pieces;
    std::vector<std::string> recovery;
    std::vector<bool> pieceGone, recoveryGone;
    RecoveryManifest manifest;
};

Division Divide(uint64_t size, unsigned recoveryCount, uint32_t seed = 1)
{
    Division d;
    d.source = SampleBytes(size_t(size), seed);
    d.manifest.id = kId;
    d.manifest.sourceSize = size;
    d.manifest.pieceSize = kMiB;
    d.manifest.count = unsigned(PieceCountFor(size, kMiB));
    d.manifest.recoveryCount = recoveryCount;
    d.manifest.source = Sha256Of(d.source.data(), d.source.size());
    // As a front end divides: the source and every piece hashed in passing.
    MemorySource whole(d.source);
    HashWorker worker;
    HashWorker::Input sourceHash(worker, 0), pieceHash(worker, 1);
    HashingSource hashedSource(whole, sourceHash);
    BlockObserver none;
    for (unsigned p = 0; p < d.manifest.count; ++p) {
        MemorySink sink;
        HashingSink hashedSink(sink, pieceHash);
        uint64_t dataBytes = LayoutOf(d.manifest).PieceDataBytes(p);
        if (dataBytes) {
            uint8_t buffer[kBlockDataSize];
            WritePieceId(hashedSink, kId);
            WritePieceBlocks(hashedSource, hashedSink, dataBytes, buffer, none);
        }
        d.pieces.push_back(sink.bytes);
        d.manifest.pieces.push_back(pieceHash.Finish());
    }
    EXPECT_EQ(sourceHash.Finish(), d.manifest.source);
    std::vector<MemorySink> sinks(recoveryCount);
    std::vector<ByteSink*> sinkList;
    std::vector<unsigned> indexes;
    for (unsigned j = 0; j < recoveryCount; ++j) {
        sinkList.push_back(&sinks[j]);
        indexes.push_back(j + 1);
    }
    MemoryRandomSource source(d.source);
    BlockObserver observer;
    RecoveryWriteOutcome written = WriteRecoveryPieces(source, d.manifest, sinkList.data(),
                                                       indexes.data(), recoveryCount, observer);
    EXPECT_EQ(written.status, RecoveryWriteStatus::Ok);
    for (MemorySink& sink : sinks) {
        EXPECT_EQ(sink.bytes.size(), LayoutOf(d.manifest).RecoveryPieceLength());
        d.recovery.push_back(sink.bytes);
    }
    d.pieceGone.assign(d.pieces.size(), false);
    d.recoveryGone.assign(d.recovery.size(), false);
    return d;
}

// Sources over what is left of a division.
struct Files {
    std::vector<std::unique_ptr<MemoryRandomSource>> owned;
    SetSources sources;

    explicit Files(const Division& d)
    {
        for (size_t p = 0; p < d.pieces.size(); ++p)
            sources.pieces.push_back(d.pieceGone[p] ? nullptr : Own(d.pieces[p]));
        for (size_t j = 0; j < d.recovery.size(); ++j)
            sources.recovery.push_back(d.recoveryGone[j] ? nullptr : Own(d.recovery[j]));
    }
    RandomSource* Own(const std::string& bytes)
    {
        owned.push_back(std::make_unique<MemoryRandomSource>(bytes));
        return owned.back().get();
    }
};

size_t BlockAt(unsigned stripe)
{
    return size_t(kPieceIdSize + stripe * kChunkSize);
}

// A byte of a block's data changed, its FCS left: the FCS sees it.
void Flip(std::string& file, size_t offset)
{
    file[offset] = char(file[offset] ^ 0x5A);
}

// A block's data changed and its FCS made to match: what a 16-bit check
// lets through.
void FlipUnseen(std::string& piece, unsigned stripe)
{
    size_t at = BlockAt(stripe);
    piece[at + 7] = char(piece[at + 7] ^ 1);
    uint16_t fcs = Fcs16(&piece[at], kBlockDataSize);
    piece[at + kBlockDataSize] = char(fcs);
    piece[at + kBlockDataSize + 1] = char(fcs >> 8);
}

struct Row {
    const char* what;
    uint64_t size;
    unsigned recovery;
    std::function<void(Division&)> damage;
    std::vector<PieceState> states;   // expected, per piece; empty: not checked
    bool rebuilds;
};

std::vector<Row> Rows()
{
    const uint64_t M = kMiB;
    using S = PieceState;
    return {
        {"intact, merged straight through", 3 * M - 100, 1, [](Division&) {}, {}, true},
        {"one of two missing", 2 * M - 1, 1, [](Division& d) { d.pieceGone[1] = true; },
         {S::Whole, S::Missing}, true},
        {"the only piece missing", 10000, 1, [](Division& d) { d.pieceGone[0] = true; },
         {S::Missing}, true},
        {"two of three missing, two recovery pieces", 3 * M - 7, 2,
         [](Division& d) { d.pieceGone[0] = d.pieceGone[2] = true; }, {S::Missing, S::Whole, S::Missing}, true},
        {"last piece cut between blocks", 2 * M + 3 * 4096, 1,
         [](Division& d) { d.pieces[2].resize(BlockAt(1)); }, {S::Whole, S::Whole, S::Damaged}, true},
        {"a block of every piece, one per stripe", 10 * M - 5, 1,
         [](Division& d) {
             for (unsigned p = 0; p < 10; ++p)
                 Flip(d.pieces[p], BlockAt(p * 3) + 100);
         },
         {}, true},
        {"two blocks per stripe, two recovery pieces", 10 * M - 5, 2,
         [](Division& d) {
             for (unsigned p = 0; p < 10; ++p)
                 Flip(d.pieces[p], BlockAt(p / 2) + 9);
         },
         {}, true},
        {"damage the FCS cannot see", 3 * M - 100, 1, [](Division& d) { FlipUnseen(d.pieces[1], 17); },
         {S::Whole, S::Lost, S::Whole}, true},
        {"same ID, another file", 3 * M - 100, 1,
         [](Division& d) { d.pieces[1] = Divide(3 * M - 100, 0, 2).pieces[1]; }, {S::Whole, S::Lost, S::Whole}, true},
        {"damaged ID", 3 * M - 100, 1, [](Division& d) { Flip(d.pieces[0], 1); },
         {S::IdDamaged, S::Whole, S::Whole}, true},
        {"a damaged recovery block and a damaged piece block", 10 * M, 1,
         [](Division& d) {
             Flip(d.recovery[0], ManifestLength(10) + 5 * kChunkSize + 3);
             Flip(d.pieces[4], BlockAt(6) + 3);
         },
         {}, true},
        {"the damaged stripe is the recovery piece's", 10 * M, 1,
         [](Division& d) {
             Flip(d.recovery[0], ManifestLength(10) + 5 * kChunkSize + 3);
             Flip(d.pieces[4], BlockAt(5) + 3);
         },
         {}, false},
        {"two losses in one stripe, one recovery piece", 10 * M, 1,
         [](Division& d) {
             Flip(d.pieces[2], BlockAt(40));
             Flip(d.pieces[7], BlockAt(40) + 4000);
         },
         {}, false},
        {"a recovery piece of another division", 3 * M - 100, 1,
         [](Division& d) {
             d.recovery[0] = Divide(3 * M - 100, 1, 3).recovery[0];
             d.pieceGone[2] = true;
         },
         {}, false},
        {"ninety-nine pieces, one missing", 98 * M + 1, 1, [](Division& d) { d.pieceGone[50] = true; },
         {}, true},
        {"the empty file", 0, 1, [](Division&) {}, {S::Whole}, true},
    };
}

TEST(Recovery, RebuildsWhatTheRecoveryPiecesCoverAndRefusesTheRest)
{
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.what);
        Division d = Divide(row.size, row.recovery);
        const std::vector<std::string> originals = d.pieces;
        row.damage(d);
        Files files(d);
        MemorySink merged;
        BlockObserver observer;
        RecoveryMergeOutcome outcome = MergeWithRecovery(d.manifest, files.sources, merged, observer);
        if (!row.rebuilds) {
            EXPECT_EQ(outcome.result.status, RebuildStatus::Unrecoverable);
            EXPECT_GT(outcome.inspection.shortfall, 0u);
            EXPECT_TRUE(merged.bytes.empty());
            continue;
        }
        ASSERT_EQ(outcome.result.status, RebuildStatus::Ok);
        EXPECT_TRUE(merged.bytes == d.source);
        // The repair sees the set as the merge's inspection does.
        bool stopped = false;
        SetInspection inspection = outcome.inspected
                                       ? outcome.inspection
                                       : InspectSet(d.manifest, files.sources, observer, &stopped);
        for (size_t p = 0; p < row.states.size(); ++p)
            EXPECT_EQ(inspection.pieces[p].state, row.states[p]) << "piece " << p + 1;
        // Every piece not whole written back as the division wrote it.
        for (unsigned p = 0; p < d.manifest.count; ++p) {
            if (inspection.pieces[p].state == PieceState::Whole)
                continue;
            MemorySink repaired;
            RebuildOutcome done =
                WriteRepairedPiece(d.manifest, inspection, files.sources, p, repaired, observer);
            EXPECT_EQ(done.status, RebuildStatus::Ok) << "piece " << p + 1;
            EXPECT_TRUE(repaired.bytes == originals[p]) << "piece " << p + 1;
        }
    }
}

// The whole way a front end goes: plan the folder, read the recovery
// pieces, open the set, merge.
TEST(Recovery, MergesThroughTheFolderWhicheverFileIsSelected)
{
    Division d = Divide(3 * kMiB - 100, 2);
    Division other = Divide(3 * kMiB - 100, 1, 5);
    MemoryFolder folder;
    for (unsigned p = 0; p < 3; ++p)
        folder.files[PieceFileName<char>("data.bin", p + 1, 3)] = d.pieces[p];
    for (unsigned j = 0; j < 2; ++j)
        folder.files[RecoveryFileName<char>("data.bin", 3, j + 1, 2)] = d.recovery[j];
    // Another division's recovery piece under a name of another count.
    folder.files[RecoveryFileName<char>("data.bin", 4, 1, 1)] = other.recovery[0];
    folder.files.erase(PieceFileName<char>("data.bin", 2, 3));
    Flip(folder.files[PieceFileName<char>("data.bin", 3, 3)], BlockAt(5) + 1);

    for (const std::string& selected : {PieceFileName<char>("data.bin", 1, 3),
                                       RecoveryFileName<char>("data.bin", 3, 2, 2)}) {
        SCOPED_TRACE(selected);
        MergePlan<char> plan = PlanMerge<char>(folder, selected);
        EXPECT_FALSE(plan.Mergeable());
        ASSERT_EQ(plan.recovery.size(), 2u);
        RecoverySet<char> recovery = ReadRecoverySet(folder, plan);
        ASSERT_TRUE(recovery.hasManifest);
        EXPECT_TRUE(recovery.manifest.SameDivision(d.manifest));
        OpenedSet opened = OpenRecoverySet(folder, plan, recovery);
        EXPECT_EQ(opened.sources.pieces[1], nullptr);
        MemorySink merged;
        BlockObserver observer;
        RecoveryMergeOutcome outcome = MergeWithRecovery(recovery.manifest, opened.sources, merged, observer);
        ASSERT_EQ(outcome.result.status, RebuildStatus::Ok);
        EXPECT_TRUE(merged.bytes == d.source);
        EXPECT_EQ(outcome.inspection.pieces[1].state, PieceState::Missing);
        EXPECT_EQ(outcome.inspection.pieces[2].state, PieceState::Damaged);
    }
}

// The seeds of the recovery fuzz target are written by fuzz/make_seeds.py,
// a writer of its own after docs/format.md.
TEST(Recovery, ReadsWhatAnIndependentWriterWrote)
{
    for (const char* seed : {"whole", "piece_missing", "damaged_block"}) {
        SCOPED_TRACE(seed);
        std::ifstream in(std::string(SUNDREL_SOURCE_DIR) + "/fuzz/corpus/fuzz_recovery/" + seed,
                         std::ios::binary);
        std::string input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(input.empty());
        MemoryFolder folder;
        std::string selected;
        ASSERT_TRUE(UnpackFolder(reinterpret_cast<const uint8_t*>(input.data()), input.size(), 6,
                                 &folder, &selected));
        MergePlan<char> plan = PlanMerge<char>(folder, selected);
        RecoverySet<char> recovery = ReadRecoverySet(folder, plan);
        ASSERT_TRUE(recovery.hasManifest);
        OpenedSet opened = OpenRecoverySet(folder, plan, recovery);
        MemorySink merged;
        BlockObserver observer;
        EXPECT_EQ(MergeWithRecovery(recovery.manifest, opened.sources, merged, observer).result.status,
                  RebuildStatus::Ok);
        EXPECT_EQ(merged.bytes.size(), 5000u);
    }
}

TEST(Recovery, RecoveryPieceIsTheSameWhicheverNumberIsMade)
{
    Division two = Divide(3 * kMiB - 100, 2), three = Divide(3 * kMiB - 100, 3);
    // The manifests differ in the number made; the recovery data does not.
    size_t manifest = ManifestLength(3);
    for (unsigned j = 0; j < 2; ++j)
        EXPECT_TRUE(two.recovery[j].substr(manifest) == three.recovery[j].substr(manifest)) << j;
}

TEST(Recovery, NoShortfallWithoutDamageAndTheWorstStripeNamed)
{
    Division d = Divide(10 * kMiB, 1);
    Flip(d.pieces[2], BlockAt(40));
    Flip(d.pieces[7], BlockAt(40) + 4000);
    Flip(d.pieces[1], BlockAt(41));
    d.recoveryGone[0] = true;
    Files files(d);
    BlockObserver observer;
    bool stopped = false;
    SetInspection inspection = InspectSet(d.manifest, files.sources, observer, &stopped);
    EXPECT_EQ(inspection.shortfall, 2u);
    EXPECT_EQ(inspection.worstStripe, 40u);
    EXPECT_EQ(inspection.recovery[0].state, RecoveryState::Missing);
    EXPECT_EQ(inspection.pieces[2].lostStripes, std::vector<uint64_t>{40});
}

}  // namespace
}  // namespace sundrel

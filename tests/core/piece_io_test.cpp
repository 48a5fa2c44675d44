#include <gtest/gtest.h>

#include <string>

#include "fcs.h"
#include "memory_streams.h"
#include "piece_io.h"

namespace sundrel {
namespace {

std::string Pattern(size_t size)
{
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = char(i * 131 + i / 4096);
    return s;
}

std::string WritePiece(const std::string& data, uint32_t id)
{
    MemorySource source(data);
    MemorySink piece;
    BlockObserver observer;
    uint8_t buffer[kBlockDataSize];
    EXPECT_TRUE(WritePieceId(piece, id));
    PieceOutcome out = WritePieceBlocks(source, piece, data.size(), buffer, observer);
    EXPECT_EQ(out.status, PieceStatus::Ok);
    return piece.bytes;
}

PieceOutcome Join(const std::string& piece, std::string* merged = nullptr)
{
    MemorySource source(piece);
    MemorySink sink;
    BlockObserver observer;
    uint8_t chunk[kChunkSize];
    PieceOutcome out = JoinPieceBlocks(source, &sink, chunk, observer);
    if (merged)
        *merged = sink.bytes;
    return out;
}

TEST(PieceIo, FcsCheckValueAndByteOrder)
{
    EXPECT_EQ(Fcs16("123456789", 9), 0x906E);
    const unsigned char chunk[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', 0x6E, 0x90};
    EXPECT_TRUE(FcsMatches(chunk, sizeof chunk));
    EXPECT_FALSE(FcsMatches(chunk, sizeof chunk - 1));
}

TEST(PieceIo, RoundTripKeepsLayoutAndData)
{
    for (size_t size : {size_t(1), size_t(4095), size_t(4096), size_t(4097), size_t(10000)}) {
        std::string data = Pattern(size);
        std::string piece = WritePiece(data, 0x01020304);
        EXPECT_EQ(piece.size(), PieceFileLength(size)) << size;
        EXPECT_EQ(piece.substr(0, 4), std::string("\x04\x03\x02\x01", 4));
        std::string merged;
        PieceOutcome out = Join(piece, &merged);
        EXPECT_EQ(out.status, PieceStatus::Ok) << size;
        EXPECT_EQ(out.id, 0x01020304u);
        EXPECT_EQ(merged, data) << size;
    }
}

TEST(PieceIo, DamageIsFoundWhereItIs)
{
    std::string good = WritePiece(Pattern(10000), 7);
    struct Row {
        const char* what;
        std::string bytes;
        PieceStatus status;
        uint64_t offset;
    } rows[] = {
        {"empty", "", PieceStatus::Empty, 0},
        {"short ID", good.substr(0, 3), PieceStatus::ShortId, 0},
        {"flipped byte in block 2", good, PieceStatus::Corrupted, 4 + 4098},
        {"one-byte tail", WritePiece(Pattern(8192), 7) + "x", PieceStatus::Tail, 4 + 2 * 4098},
        {"cut inside the last block", good.substr(0, good.size() - 5), PieceStatus::Corrupted,
         4 + 2 * 4098},
    };
    rows[2].bytes[4 + 4098 + 100] ^= 0x10;
    for (const Row& row : rows) {
        PieceOutcome out = Join(row.bytes);
        EXPECT_EQ(out.status, row.status) << row.what;
        EXPECT_EQ(out.offset, row.offset) << row.what;
    }
}

TEST(PieceIo, WriteFailuresAreTold)
{
    std::string data = Pattern(5000);
    uint8_t buffer[kBlockDataSize];
    BlockObserver observer;
    struct Row {
        size_t limit;
        PieceStatus status;
    } rows[] = {{100, PieceStatus::DataWriteFailed}, {4097, PieceStatus::FcsWriteFailed}};
    for (const Row& row : rows) {
        MemorySource source(data);
        MemorySink piece(row.limit);
        EXPECT_EQ(WritePieceBlocks(source, piece, data.size(), buffer, observer).status, row.status);
    }
    MemorySource shortSource(data.substr(0, 4000));
    MemorySink piece;
    EXPECT_EQ(WritePieceBlocks(shortSource, piece, data.size(), buffer, observer).status,
              PieceStatus::ReadFailed);
}

TEST(PieceIo, ObserverStopsBeforeTheNextBlock)
{
    struct StopAfterOne : BlockObserver {
        int blocks = 0;
        bool BeforeBlock() override { return blocks == 0; }
        void AfterBlock(size_t) override { ++blocks; }
    };
    std::string piece = WritePiece(Pattern(10000), 1);
    MemorySource source(piece);
    StopAfterOne observer;
    uint8_t chunk[kChunkSize];
    PieceOutcome out = JoinPieceBlocks(source, nullptr, chunk, observer);
    EXPECT_EQ(out.status, PieceStatus::Stopped);
    EXPECT_EQ(out.blocks, 0u);   // the ID counts as the first step
}

}  // namespace
}  // namespace sundrel

#include "piece_io.h"

#include "fcs.h"

namespace sundrel {

bool WritePieceId(ByteSink& piece, uint32_t id)
{
    const uint8_t bytes[kPieceIdSize] = {uint8_t(id), uint8_t(id >> 8), uint8_t(id >> 16),
                                         uint8_t(id >> 24)};
    return piece.Write(bytes, sizeof bytes);
}

uint32_t DecodePieceId(const uint8_t bytes[kPieceIdSize])
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

PieceOutcome WritePieceBlocks(ByteSource& source, ByteSink& piece, uint64_t dataBytes,
                              uint8_t* buffer, BlockObserver& observer)
{
    PieceOutcome out;
    out.offset = kPieceIdSize;
    while (out.dataBytes < dataBytes) {
        if (!observer.BeforeBlock()) {
            out.status = PieceStatus::Stopped;
            return out;
        }
        uint64_t left = dataBytes - out.dataBytes;
        size_t n = left < kBlockDataSize ? size_t(left) : kBlockDataSize;
        size_t got = 0;
        const uint8_t* data = nullptr;
        if (!source.View(n, buffer, &data, &got) || got != n) {
            out.status = PieceStatus::ReadFailed;
            return out;
        }
        if (!piece.Write(data, n)) {
            out.status = PieceStatus::DataWriteFailed;
            return out;
        }
        uint16_t fcs = Fcs16(data, n);
        const uint8_t fcsBytes[kFcsSize] = {uint8_t(fcs), uint8_t(fcs >> 8)};
        if (!piece.Write(fcsBytes, kFcsSize)) {
            out.status = PieceStatus::FcsWriteFailed;
            return out;
        }
        ++out.blocks;
        out.dataBytes += n;
        out.offset += n + kFcsSize;
        observer.AfterBlock(n + kFcsSize);
    }
    return out;
}

PieceOutcome JoinPieceBlocks(ByteSource& piece, ByteSink* merged, uint8_t* chunk,
                             BlockObserver& observer)
{
    PieceOutcome out;
    size_t got = 0;
    if (!piece.Read(chunk, kPieceIdSize, &got)) {
        out.status = PieceStatus::ReadFailed;
        return out;
    }
    if (got == 0) {
        out.status = PieceStatus::Empty;
        return out;
    }
    if (got < kPieceIdSize) {
        out.status = PieceStatus::ShortId;
        return out;
    }
    out.id = DecodePieceId(chunk);
    out.offset = kPieceIdSize;
    observer.AfterBlock(kPieceIdSize);
    for (;;) {
        if (!observer.BeforeBlock()) {
            out.status = PieceStatus::Stopped;
            return out;
        }
        const uint8_t* data = nullptr;
        if (!piece.View(kChunkSize, chunk, &data, &got)) {
            out.status = PieceStatus::ReadFailed;
            return out;
        }
        if (got == 0)
            return out;
        if (got <= kFcsSize) {
            out.status = PieceStatus::Tail;
            return out;
        }
        if (!FcsMatches(data, got)) {
            out.status = PieceStatus::Corrupted;
            return out;
        }
        size_t n = got - kFcsSize;
        if (merged && !merged->Write(data, n)) {
            out.status = PieceStatus::DataWriteFailed;
            return out;
        }
        ++out.blocks;
        out.dataBytes += n;
        out.offset += got;
        observer.AfterBlock(got);
    }
}

}  // namespace sundrel

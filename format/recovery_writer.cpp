#include "recovery_writer.h"

#include <cstring>
#include <vector>

#include "fcs.h"
#include "piece_layout.h"
#include "recovery_code.h"

namespace sundrel {

namespace {

// Stripes read at once: a run of blocks from every piece, within a few MiB
// of buffers however many pieces there are.
constexpr size_t kBatchBytes = size_t(8) << 20;
constexpr size_t kMaxBatchStripes = 64;

size_t BatchStripes(size_t shards)
{
    size_t stripes = kBatchBytes / (shards * kChunkSize);
    return stripes < 1 ? 1 : stripes > kMaxBatchStripes ? kMaxBatchStripes : stripes;
}

}  // namespace

bool ReadFully(RandomSource& source, uint64_t offset, void* buffer, size_t n)
{
    uint8_t* out = static_cast<uint8_t*>(buffer);
    while (n > 0) {
        size_t got = 0;
        if (!source.ReadAt(offset, out, n, &got) || got == 0)
            return false;
        offset += got;
        out += got;
        n -= got;
    }
    return true;
}

RecoveryWriteOutcome WriteRecoveryPieces(RandomSource& source, const RecoveryManifest& manifest,
                                         ByteSink* const* sinks, const unsigned* indexes,
                                         size_t sinkCount, BlockObserver& observer)
{
    RecoveryWriteOutcome out;
    const DivisionLayout layout = LayoutOf(manifest);
    std::vector<size_t> rows(sinkCount);
    for (size_t n = 0; n < sinkCount; ++n)
        rows[n] = indexes[n] - 1;
    RecoveryEncoder encoder;
    if (encoder.Prepare(manifest.count, rows.data(), sinkCount) != RecoveryStatus::Ok) {
        out.status = RecoveryWriteStatus::Refused;
        return out;
    }
    for (size_t n = 0; n < sinkCount; ++n) {
        RecoveryManifest own = manifest;
        own.index = indexes[n];
        std::vector<uint8_t> bytes = EncodeManifest(own);
        if (!sinks[n]->Write(bytes.data(), bytes.size())) {
            out = {RecoveryWriteStatus::WriteFailed, n};
            return out;
        }
    }
    if (layout.Stripes() == 0)
        return out;

    const size_t batch = BatchStripes(manifest.count + sinkCount);
    // Per piece a run of blocks of 4,096 bytes, zero where the piece ends;
    // per recovery piece a run of blocks with room for their FCS.
    std::vector<uint8_t> data(manifest.count * batch * kBlockDataSize);
    std::vector<uint8_t> recovery(sinkCount * batch * kChunkSize);
    std::vector<const uint8_t*> dataRows(manifest.count);
    std::vector<uint8_t*> recoveryRows(sinkCount);

    for (uint64_t first = 0; first < layout.Stripes(); first += batch) {
        const uint64_t stripes = layout.Stripes() - first < batch ? layout.Stripes() - first : batch;
        for (unsigned piece = 0; piece < manifest.count; ++piece) {
            uint8_t* run = &data[piece * batch * kBlockDataSize];
            uint64_t pieceData = layout.PieceDataBytes(piece), start = first * kBlockDataSize;
            uint64_t left = pieceData > start ? pieceData - start : 0;
            size_t n = size_t(left < stripes * kBlockDataSize ? left : stripes * kBlockDataSize);
            if (n && !ReadFully(source, uint64_t(piece) * manifest.pieceSize + start, run, n)) {
                out.status = RecoveryWriteStatus::ReadFailed;
                return out;
            }
            std::memset(run + n, 0, size_t(stripes) * kBlockDataSize - n);
        }
        for (uint64_t s = 0; s < stripes; ++s) {
            if (!observer.BeforeBlock()) {
                out.status = RecoveryWriteStatus::Stopped;
                return out;
            }
            const size_t length = layout.StripeLength(first + s);
            for (unsigned piece = 0; piece < manifest.count; ++piece)
                dataRows[piece] = &data[(piece * batch + s) * kBlockDataSize];
            for (size_t n = 0; n < sinkCount; ++n)
                recoveryRows[n] = &recovery[(n * batch + s) * kChunkSize];
            encoder.Encode(dataRows.data(), recoveryRows.data(), length);
            for (size_t n = 0; n < sinkCount; ++n) {
                uint16_t fcs = Fcs16(recoveryRows[n], length);
                recoveryRows[n][length] = uint8_t(fcs);
                recoveryRows[n][length + 1] = uint8_t(fcs >> 8);
                if (!sinks[n]->Write(recoveryRows[n], length + kFcsSize)) {
                    out = {RecoveryWriteStatus::WriteFailed, n};
                    return out;
                }
            }
            observer.AfterBlock(sinkCount * (length + kFcsSize));
        }
    }
    return out;
}

}  // namespace sundrel

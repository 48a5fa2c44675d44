#include "piece_layout.h"

namespace sundrel {

namespace {

constexpr uint64_t kFullMiBLength = kBlocksPerMiB * kChunkSize;

// The length of a piece that is not the last: whole MiB of whole blocks.
bool IsFullPieceLength(uint64_t length)
{
    return length > kPieceIdSize && (length - kPieceIdSize) % kFullMiBLength == 0;
}

bool HasTail(uint64_t length)
{
    uint64_t rest = length > kPieceIdSize ? (length - kPieceIdSize) % kChunkSize : 0;
    return rest == 1 || rest == 2;
}

LengthFault CheckInnerPiece(uint64_t length, uint64_t fullLength)
{
    if (fullLength != 0 && length == fullLength)
        return LengthFault::None;
    if (HasTail(length))
        return LengthFault::Tail;
    if (fullLength == 0)
        return LengthFault::Misshapen;
    return length > fullLength ? LengthFault::Grown : LengthFault::Truncated;
}

LengthFault CheckLastPiece(uint64_t length, uint64_t fullLength)
{
    if (HasTail(length))
        return LengthFault::Tail;
    uint64_t data = 0;
    if (!PieceDataBytes(length, &data) || data == 0)
        return LengthFault::Truncated;
    if (fullLength != 0 && length > fullLength)
        return LengthFault::Grown;
    return LengthFault::None;
}

}  // namespace

uint64_t PieceCountFor(uint64_t sourceSize, uint64_t pieceDataSize)
{
    if (sourceSize == 0 || pieceDataSize == 0)
        return 1;
    return sourceSize / pieceDataSize + (sourceSize % pieceDataSize ? 1 : 0);
}

uint64_t PieceFileLength(uint64_t dataBytes)
{
    if (dataBytes == 0)
        return 0;
    uint64_t blocks = dataBytes / kBlockDataSize + (dataBytes % kBlockDataSize ? 1 : 0);
    return kPieceIdSize + dataBytes + kFcsSize * blocks;
}

bool PieceDataBytes(uint64_t fileLength, uint64_t* dataBytes)
{
    if (fileLength == 0) {
        *dataBytes = 0;
        return true;
    }
    if (fileLength < kPieceIdSize + kFcsSize + 1)
        return false;
    uint64_t body = fileLength - kPieceIdSize;
    uint64_t rest = body % kChunkSize;
    if (rest == 1 || rest == 2)
        return false;
    *dataBytes = body / kChunkSize * kBlockDataSize + (rest ? rest - kFcsSize : 0);
    return true;
}

size_t CheckPieceLengths(const uint64_t* lengths, size_t count, LengthFault* faults)
{
    if (count == 0)
        return 0;
    uint64_t fullLength = 0;
    for (size_t i = 0; i + 1 < count; ++i)
        if (IsFullPieceLength(lengths[i]) && lengths[i] > fullLength)
            fullLength = lengths[i];
    size_t first = count;
    for (size_t i = 0; i < count; ++i) {
        bool last = i + 1 == count;
        if (count == 1 && lengths[0] == 0)
            faults[i] = LengthFault::None;   // the one piece of an empty source
        else
            faults[i] = last ? CheckLastPiece(lengths[i], fullLength)
                             : CheckInnerPiece(lengths[i], fullLength);
        if (faults[i] != LengthFault::None && first == count)
            first = i;
    }
    return first;
}

}  // namespace sundrel

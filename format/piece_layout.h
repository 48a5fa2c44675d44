// The piece file layout, and what the lengths of a whole set of pieces must
// be. Everything that writes or reads pieces builds on these numbers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "piece_sizes.h"

namespace sundrel {

// A piece: a 4-byte divide file ID (little-endian), then blocks of at most
// 4096 data bytes, each followed by its 2-byte FCS, low byte first. The one
// piece of an empty source is empty: no ID, no block.
constexpr size_t kPieceIdSize = 4;
constexpr size_t kBlockDataSize = 4096;
constexpr size_t kFcsSize = 2;
constexpr size_t kChunkSize = kBlockDataSize + kFcsSize;   // one block with its FCS

constexpr uint64_t kMiB = uint64_t(1) << 20;
constexpr uint64_t kBlocksPerMiB = kMiB / kBlockDataSize;
// Highest piece count that a two-digit marker can name.
constexpr unsigned kMaxPieceCount = 99;

// ceil(sourceSize / pieceDataSize); 1 for an empty source.
uint64_t PieceCountFor(uint64_t sourceSize, uint64_t pieceDataSize);
// File length of a piece holding dataBytes (0 for the empty piece).
uint64_t PieceFileLength(uint64_t dataBytes);
// Data bytes of a piece file of the given length, when the length is one a
// writer can produce (whole blocks, a last block of 1 to 4096 bytes);
// false otherwise.
bool PieceDataBytes(uint64_t fileLength, uint64_t* dataBytes);

// What is wrong with a piece's length, judged against the rest of its set.
enum class LengthFault {
    None,
    Truncated,   // shorter than the set says it must be
    Grown,       // longer than the set says it may be
    Tail,        // ends in 1 or 2 bytes after its last whole block
    Misshapen,   // not whole MiB, and no other piece to measure it against
};

// The rule of a set, pieces 1 to count in number order:
// - every piece but the last holds the same whole number k >= 1 of MiB;
// - the last holds 1 byte to k MiB (any amount when it is the only piece),
//   in whole blocks but for its last block of 1 to 4096 bytes;
// - the single empty piece of an empty source is whole.
// k is taken from the longest whole-MiB piece among all but the last: cuts
// are far more common than growth. faults gets one entry per piece; returns
// the index of the first piece at fault, or count when the set is whole.
size_t CheckPieceLengths(const uint64_t* lengths, size_t count, LengthFault* faults);

}  // namespace sundrel

// A recovery piece: the manifest that proves the whole file and every piece
// of a division, and where its recovery blocks lie. The bytes are described
// in docs/format.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sha256.h"

namespace sundrel {

constexpr uint8_t kRecoveryMagic[8] = {'S', 'u', 'n', 'd', 'R', 'e', 'c', '\n'};
constexpr unsigned kRecoveryVersion = 1;
// Magic, version and the manifest's length: enough to know how much to read.
constexpr size_t kManifestHeadSize = 16;
// Pieces and recovery pieces of a division together: the recovery code's
// bound.
constexpr unsigned kMaxPiecesWithRecovery = 255;

struct RecoveryManifest {
    uint32_t id = 0;
    uint64_t sourceSize = 0;
    uint64_t pieceSize = 0;        // data bytes of every piece but the last
    unsigned count = 0;            // pieces
    unsigned recoveryCount = 0;
    unsigned index = 0;            // this recovery piece, 1 to recoveryCount
    Sha256Digest source{};
    std::vector<Sha256Digest> pieces;

    // The same division: everything but the index.
    bool SameDivision(const RecoveryManifest& other) const;
};

// 104 + 32 bytes per piece.
size_t ManifestLength(unsigned count);
// The manifest's length as the head of a recovery piece gives it, or 0 when
// the head is no recovery piece's of a known version.
size_t ManifestLengthOf(const uint8_t head[kManifestHeadSize]);

std::vector<uint8_t> EncodeManifest(const RecoveryManifest& manifest);

enum class ManifestFault {
    None,
    NotRecovery,   // no magic, another version, or too short
    Check,         // its own SHA-256 does not hold
    Values,        // holds, but describes no division a writer makes
};
ManifestFault DecodeManifest(const uint8_t* bytes, size_t size, RecoveryManifest* manifest);

// Where everything of a division lies, from its sizes. Piece and stripe
// numbers count from 0 here.
struct DivisionLayout {
    uint64_t sourceSize;
    uint64_t pieceSize;
    unsigned count;

    uint64_t PieceDataBytes(unsigned piece) const;
    uint64_t PieceLength(unsigned piece) const;
    // Data bytes of block stripe of a piece; 0 where the piece has none.
    size_t BlockLength(unsigned piece, uint64_t stripe) const;
    // Offset of that block in its piece file.
    static uint64_t BlockOffset(uint64_t stripe);
    // Stripes: the blocks of piece 0, which has the most and the longest.
    uint64_t Stripes() const;
    size_t StripeLength(uint64_t stripe) const { return BlockLength(0, stripe); }
    uint64_t RecoveryPieceLength() const;
    uint64_t RecoveryBlockOffset(uint64_t stripe) const;
};

DivisionLayout LayoutOf(const RecoveryManifest& manifest);

}  // namespace sundrel

// What a front end needs to write a division with recovery pieces: the
// SHA-256 sums of the source and every piece, taken in passing while the
// pieces are written, and the progress of the recovery pieces counted as a
// divide counts its blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "hash_worker.h"
#include "hashing_streams.h"
#include "piece_io.h"
#include "recovery_piece.h"

namespace sundrel {

// The source through Source(), every piece through Piece() while it is
// written. Without recovery pieces both give their stream back as it is.
class DivisionHashes {
public:
    explicit DivisionHashes(bool wanted);
    bool Wanted() const { return wanted_; }
    ByteSource& Source(ByteSource& source);
    ByteSink& Piece(ByteSink& piece);
    // The piece handed out last is complete.
    void EndPiece();
    // The manifest of the division; total recovery pieces.
    RecoveryManifest Manifest(uint32_t id, uint64_t sourceSize, uint64_t pieceSize, unsigned count,
                              unsigned total);

private:
    bool wanted_;
    // Hashed on a thread of their own, while the pieces are read and written.
    std::unique_ptr<HashWorker> worker_;
    std::optional<HashWorker::Input> source_, piece_;
    std::optional<HashingSource> sourceStream_;
    std::optional<HashingSink> pieceStream_;
    std::vector<Sha256Digest> pieces_;
};

// Bytes of progress the recovery pieces add to a division's data bytes:
// every recovery piece counts the data of the longest piece once.
uint64_t RecoveryProgressBytes(uint64_t sourceSize, uint64_t pieceSize, unsigned total);

// The writer counts every stripe with the bytes written for it into all
// recovery pieces, their FCS included; a divide's observer takes a block
// with its FCS. Each stripe passes as one block of the data it covers in
// all recovery pieces, which RecoveryProgressBytes counts.
class RecoveryProgress : public BlockObserver {
public:
    RecoveryProgress(BlockObserver& divide, unsigned total) : divide_(divide), total_(total) {}
    bool BeforeBlock() override { return divide_.BeforeBlock(); }
    void AfterBlock(size_t bytes) override;

private:
    BlockObserver& divide_;
    unsigned total_;
};

}  // namespace sundrel

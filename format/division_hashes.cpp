#include "division_hashes.h"

#include "piece_layout.h"

namespace sundrel {

DivisionHashes::DivisionHashes(bool wanted) : wanted_(wanted)
{
    if (!wanted_)
        return;
    worker_ = std::make_unique<HashWorker>();
    source_.emplace(*worker_, 0);
    piece_.emplace(*worker_, 1);
}

ByteSource& DivisionHashes::Source(ByteSource& source)
{
    if (!wanted_)
        return source;
    sourceStream_.emplace(source, *source_);
    return *sourceStream_;
}

ByteSink& DivisionHashes::Piece(ByteSink& piece)
{
    if (!wanted_)
        return piece;
    pieceStream_.emplace(piece, *piece_);
    return *pieceStream_;
}

void DivisionHashes::EndPiece()
{
    if (wanted_)
        pieces_.push_back(piece_->Finish());
}

RecoveryManifest DivisionHashes::Manifest(uint32_t id, uint64_t sourceSize, uint64_t pieceSize,
                                          unsigned count, unsigned total)
{
    RecoveryManifest manifest;
    manifest.id = id;
    manifest.sourceSize = sourceSize;
    manifest.pieceSize = pieceSize;
    manifest.count = count;
    manifest.recoveryCount = total;
    manifest.source = source_->Finish();
    manifest.pieces = pieces_;
    return manifest;
}

uint64_t RecoveryProgressBytes(uint64_t sourceSize, uint64_t pieceSize, unsigned total)
{
    return total * (sourceSize < pieceSize ? sourceSize : pieceSize);
}

void RecoveryProgress::AfterBlock(size_t bytes)
{
    divide_.AfterBlock(bytes - total_ * kFcsSize + kFcsSize);
}

}  // namespace sundrel

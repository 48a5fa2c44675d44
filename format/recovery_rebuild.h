// Merging and repairing a set that has recovery pieces: lost blocks are
// rebuilt stripe by stripe in memory while the output is written, and the
// output is proven by the manifest's SHA-256.
#pragma once

#include <cstdint>

#include "piece_io.h"
#include "recovery_inspection.h"
#include "recovery_piece.h"

namespace sundrel {

enum class RebuildStatus {
    Ok,
    Stopped,
    ReadFailed,      // a piece or recovery piece could not be read (piece names it)
    WriteFailed,
    Unrecoverable,   // fewer intact recovery blocks than lost blocks in a stripe
    Mismatch,        // what was written is not what the manifest proves
};

struct RebuildOutcome {
    RebuildStatus status = RebuildStatus::Ok;
    unsigned piece = 0;          // the piece concerned, from 0
    bool inRecovery = false;     // piece is a recovery piece's index - 1
};

// The merged file: every piece's data in number order, lost blocks rebuilt.
RebuildOutcome WriteMergedData(const RecoveryManifest& manifest, const SetInspection& inspection,
                               const SetSources& sources, ByteSink& out, BlockObserver& observer);

// One piece file as the division wrote it: the division's ID, then its
// blocks, rebuilt where lost, each with its FCS; its SHA-256 checked.
RebuildOutcome WriteRepairedPiece(const RecoveryManifest& manifest, const SetInspection& inspection,
                                  const SetSources& sources, unsigned piece, ByteSink& out,
                                  BlockObserver& observer);

struct RecoveryMergeOutcome {
    RebuildOutcome result;
    bool inspected = false;    // the set was inspected: inspection says what was rebuilt
    SetInspection inspection;
};

// Merges straight through while every piece has its length and every block
// its FCS, proving the result by the manifest; otherwise, or when the proof
// fails, inspects the set and writes the merge again from the start with
// the lost blocks rebuilt. When the set cannot be rebuilt (Unrecoverable,
// with the inspection's shortfall) the output is left empty.
RecoveryMergeOutcome MergeWithRecovery(const RecoveryManifest& manifest, const SetSources& sources,
                                       RestartableSink& out, BlockObserver& observer);

}  // namespace sundrel

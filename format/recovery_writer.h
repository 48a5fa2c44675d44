// Writing the recovery pieces of a division, after its pieces: the
// manifest, then block by block the recovery data, read back from the
// source stripe by stripe.
#pragma once

#include <cstddef>

#include "piece_io.h"
#include "recovery_piece.h"

namespace sundrel {

enum class RecoveryWriteStatus {
    Ok,
    Stopped,
    ReadFailed,
    WriteFailed,
    Refused,   // indexes that the division cannot have
};

struct RecoveryWriteOutcome {
    RecoveryWriteStatus status = RecoveryWriteStatus::Ok;
    size_t sink = 0;   // which sink failed to take its bytes
};

// sinks[n] receives the whole recovery piece indexes[n] (1 to
// manifest.recoveryCount) of the division the manifest describes (its
// index is ignored); source gives the source file's bytes. observer sees
// every stripe, with the bytes written for it into all sinks.
RecoveryWriteOutcome WriteRecoveryPieces(RandomSource& source, const RecoveryManifest& manifest,
                                         ByteSink* const* sinks, const unsigned* indexes,
                                         size_t sinkCount, BlockObserver& observer);

// Reads n bytes at offset, as many reads as it takes; false on an error or
// an early end.
bool ReadFully(RandomSource& source, uint64_t offset, void* buffer, size_t n);

}  // namespace sundrel

// What a set looks like against its manifest: which pieces are whole, which
// blocks are lost, which recovery blocks can rebuild them, and whether
// every stripe has enough of them.
#pragma once

#include <cstdint>
#include <vector>

#include "piece_io.h"
#include "recovery_piece.h"

namespace sundrel {

// The files of a set as the manifest numbers them: pieces by number - 1,
// recovery pieces by index - 1; null where a file is missing or cannot be
// opened. The caller owns them.
struct SetSources {
    std::vector<RandomSource*> pieces;
    std::vector<RandomSource*> recovery;
};

enum class PieceState {
    Whole,        // its SHA-256 holds
    Grown,        // whole, with bytes after its end
    IdDamaged,    // whole but for its ID
    Damaged,      // some blocks fail their FCS or are cut off: those are lost
    Lost,         // every block passes, yet the SHA-256 does not hold: all are lost
    Missing,      // no file, or one that cannot be read: all are lost
};

// Whether the piece's data can be read as it lies.
inline bool DataIsWhole(PieceState state)
{
    return state == PieceState::Whole || state == PieceState::Grown || state == PieceState::IdDamaged;
}

// No stripe is cut off.
constexpr uint64_t kNotCut = UINT64_MAX;

struct PieceInspection {
    PieceState state = PieceState::Missing;
    uint64_t length = 0;                 // of the file, as it lies
    // When Damaged: the stripes whose block fails its FCS, and the first
    // stripe whose block the file no longer holds whole.
    std::vector<uint64_t> lostStripes;
    uint64_t cutFrom = kNotCut;
};

enum class RecoveryState {
    Usable,          // every recovery block passes
    Damaged,         // some recovery blocks fail or are cut off: those go unused
    OtherDivision,   // its manifest is another division's
    Unreadable,      // no manifest can be read from it
    Missing,
};

struct RecoveryInspection {
    RecoveryState state = RecoveryState::Missing;
    // When Damaged: the stripes whose block fails its FCS, and the first
    // stripe whose block the file no longer holds whole.
    std::vector<uint64_t> badStripes;
    uint64_t cutFrom = kNotCut;
};

struct SetInspection {
    std::vector<PieceInspection> pieces;
    std::vector<RecoveryInspection> recovery;
    // Recovery blocks lacking in the worst stripe: 0 when every lost block
    // can be rebuilt. worstStripe is that stripe.
    uint64_t shortfall = 0;
    uint64_t worstStripe = 0;

    bool Whole() const;                   // no block to rebuild
    bool Rebuildable() const { return shortfall == 0; }
    bool Lost(unsigned piece, uint64_t stripe) const;
    bool RecoveryBlockUsable(unsigned index, uint64_t stripe) const;
};

// Reads every piece and recovery piece once. stopped is set when the
// observer stops it (the inspection is then incomplete).
SetInspection InspectSet(const RecoveryManifest& manifest, const SetSources& sources,
                         BlockObserver& observer, bool* stopped);

}  // namespace sundrel

// The page's merge and repair through recovery pieces, and the recovery
// pieces of its divisions.
#pragma once

#include <vector>

#include "division_hashes.h"
#include "recovery_inspection.h"
#include "recovery_piece.h"

namespace sundrel::web {

// The pieces (from 1) that Repair writes: every one that is not whole as the
// division wrote it, its ID and length included.
std::vector<unsigned> PiecesToRepair(const SetInspection& inspection);

// A division with recovery pieces on the page: the SHA-256 sums taken while
// its pieces are written, then the manifest they make.
struct Division {
    DivisionHashes hashes{true};
    RecoveryManifest manifest;
};

}  // namespace sundrel::web

// The page's merge and repair through recovery pieces, and the recovery
// pieces of its divisions.
#pragma once

#include <vector>

#include "hash_worker.h"
#include "recovery_inspection.h"
#include "sha256.h"

namespace sundrel::web {

// The pieces (from 1) that Repair writes: every one that is not whole as the
// division wrote it, its ID and length included.
std::vector<unsigned> PiecesToRepair(const SetInspection& inspection);

// The SHA-256 sums of a division with recovery pieces, taken while its
// pieces are written: the source's and every piece file's.
struct DivisionHashes {
    DirectHash source, piece;
    std::vector<Sha256Digest> pieces;
    Sha256Digest sourceDigest{};   // once the pieces are written
};

}  // namespace sundrel::web

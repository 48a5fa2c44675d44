// The recovery pieces of a planned set: the manifest they agree on, and the
// set's files opened as that manifest numbers them.
#pragma once

#include <memory>
#include <vector>

#include "merge_plan.h"
#include "recovery_inspection.h"
#include "recovery_piece.h"
#include "recovery_rebuild.h"

namespace sundrel {

enum class RecoveryFileVerdict {
    Usable,          // its manifest is the set's
    OtherDivision,   // a manifest of another division
    Unreadable,      // no manifest could be read (see fault)
};

struct RecoveryFileCheck {
    RecoveryFileVerdict verdict = RecoveryFileVerdict::Unreadable;
    ManifestFault fault = ManifestFault::NotRecovery;   // when Unreadable
};

template <class C>
struct RecoverySet {
    bool hasManifest = false;
    RecoveryManifest manifest;
    std::vector<RecoveryFileCheck> files;   // one per plan.recovery
};

// Reads the manifest of every recovery file of the plan and takes the one
// most of them share, among those of the set's ID when the plan has one.
template <class C>
RecoverySet<C> ReadRecoverySet(PieceFolder<C>& folder, const MergePlan<C>& plan);

// The set's files opened as the manifest numbers them: each piece's place
// holder, each usable recovery piece by its index.
struct OpenedSet {
    std::vector<std::unique_ptr<RandomSource>> files;
    SetSources sources;
};

template <class C>
OpenedSet OpenRecoverySet(PieceFolder<C>& folder, const MergePlan<C>& plan,
                          const RecoverySet<C>& recovery);

// The name of the file a failed rebuild names: the piece in its place or a
// usable recovery piece of that index; null when none can be named.
template <class C>
const std::basic_string<C>* FailedFileName(const MergePlan<C>& plan, const RecoverySet<C>& recovery,
                                           const RebuildOutcome& outcome);

}  // namespace sundrel

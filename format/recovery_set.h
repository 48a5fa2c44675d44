// The recovery pieces of a planned set: the manifest they agree on, and the
// set's files opened as that manifest numbers them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
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

// Reads the manifest at the start of one recovery file (null: it could not
// be opened).
RecoveryFileCheck ReadManifest(RandomSource* file, RecoveryManifest* manifest);

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

// The file a failed rebuild names (a piece in its place, or a usable
// recovery piece of the manifest); null when none can be named.
template <class C>
const std::basic_string<C>* FailedFileName(const MergePlan<C>& plan, const RecoverySet<C>& recovery,
                                           const RebuildOutcome& outcome);

// The bytes a merge reads once when nothing is lost: the pieces in their
// places and the usable recovery pieces.
template <class C>
uint64_t SetBytes(const MergePlan<C>& plan, const RecoverySet<C>& recovery);

// The files that go after a merge that fully succeeded: the pieces that
// hold their places with the set's ID, and the usable recovery pieces.
template <class C>
std::vector<std::basic_string<C>> SetFileNames(const MergePlan<C>& plan, const RecoverySet<C>& recovery);

// The pieces (from 1) whose data an inspection found lost: those a merge or
// a repair rebuilds.
std::vector<unsigned> RebuiltPieces(const SetInspection& inspection);

}  // namespace sundrel

// What a set's recovery pieces say of it beyond the inspection, for the
// front ends that show it: what each recovery file of the plan is, which
// recovery pieces no file names, and how many blocks of a damaged one go
// unused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "merge_plan.h"
#include "recovery_inspection.h"
#include "recovery_set.h"

namespace sundrel {

enum class RecoveryFileKind {
    Usable,
    Damaged,         // some of its blocks go unused
    OtherDivision,
    Unreadable,      // no manifest, or the file could not be read
    Unused,          // a second file with an index an earlier one holds
};

// Recovery file number file of the plan; inspected null when the set was
// not inspected (a file of the manifest then counts as usable).
template <class C>
RecoveryFileKind JudgeRecoveryFile(const MergePlan<C>& plan, const RecoverySet<C>& recovery,
                                   size_t file, const SetInspection* inspected);

// Blocks of a damaged recovery piece that cannot be used: those that fail
// their FCS and those cut off, of stripes in all.
uint64_t UnusableBlocks(const RecoveryInspection& inspected, uint64_t stripes);

// The indexes (from 1) of the manifest's recovery pieces that no file of
// the plan is named as.
template <class C>
std::vector<unsigned> UnnamedRecoveryPieces(const MergePlan<C>& plan, const RecoverySet<C>& recovery);

}  // namespace sundrel

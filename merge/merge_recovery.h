// A merge through recovery pieces: the set is proven by their manifest and
// whatever is lost is rebuilt from them.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "merge_plan.h"
#include "recovery_set.h"

// The recovery pieces the plan lists and the manifest they carry, read from
// folder (ending with a separator). hasManifest is false when there are
// none or none can be read: the merge then goes as without them.
sundrel::RecoverySet<wchar_t> ReadPlanRecovery(const wchar_t* folder,
                                              const sundrel::MergePlan<wchar_t>& plan);

enum class RecoveryMergeStatus {
    Merged,          // the merged file holds the whole file, proven by its SHA-256
    Stopped,
    ReadFailed,      // path names the file, where one can be named
    WriteFailed,
    Unrecoverable,   // shortfall more recovery pieces would be needed
    Mismatch,        // what was written is not what the manifest proves
};

struct RECOVERY_MERGE_RESULT {
    RecoveryMergeStatus status = RecoveryMergeStatus::Stopped;
    std::wstring path;
    uint64_t shortfall = 0;
    std::vector<unsigned> rebuilt;    // pieces (from 1) that were missing or damaged
};

// Writes the set into the open merged file, restarting it from nothing
// when damage shows on the way; progress and Stop through the merge
// window.
RECOVERY_MERGE_RESULT MergeThroughRecovery(HWND window, const wchar_t* folder,
                                           const sundrel::MergePlan<wchar_t>& plan,
                                           const sundrel::RecoverySet<wchar_t>& recovery,
                                           HANDLE merged);

// The files of the set that go after a merge when the settings say so: the
// pieces that hold their places with the set's ID and the recovery pieces
// of its manifest, as paths in folder.
std::vector<std::wstring> SetFiles(const wchar_t* folder, const sundrel::MergePlan<wchar_t>& plan,
                                   const sundrel::RecoverySet<wchar_t>& recovery);

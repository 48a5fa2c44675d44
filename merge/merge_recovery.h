// A merge through recovery pieces: the set is proven by their manifest and
// whatever is lost is rebuilt from them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "merge_plan.h"
#include "recovery_set.h"

// The recovery pieces the plan lists and the manifest they carry, read from
// folder (ending with a separator). hasManifest is false when there are
// none or none can be read: the merge then goes as without them.
sundrel::RecoverySet<wchar_t> ReadPlanRecovery(const wchar_t* folder,
                                              const sundrel::MergePlan<wchar_t>& plan);

// What a merge through recovery pieces did.
struct RECOVERY_MERGE_RESULT {
    bool merged = false;              // the merged file holds the whole, proven file
    std::vector<unsigned> rebuilt;    // pieces (from 1) that were missing or damaged
};

// Writes the set into the open merged file, restarting it from nothing
// when damage shows on the way; shows the failure's message (caption is
// the merge's). A Stop ends it quietly, not merged.
RECOVERY_MERGE_RESULT MergeThroughRecovery(HWND window, const wchar_t* caption,
                                           const wchar_t* folder,
                                           const sundrel::MergePlan<wchar_t>& plan,
                                           const sundrel::RecoverySet<wchar_t>& recovery,
                                           HANDLE merged);

// After a merge that rebuilt pieces: which ones, in an information box.
void ShowRebuiltPieces(HWND window, const wchar_t* caption, const std::vector<unsigned>& rebuilt);

// The files of the set that go after a merge when the settings say so: the
// pieces that hold their places with the set's ID and the recovery pieces
// of its manifest, as paths in folder.
std::vector<std::wstring> SetFiles(const wchar_t* folder, const sundrel::MergePlan<wchar_t>& plan,
                                   const sundrel::RecoverySet<wchar_t>& recovery);

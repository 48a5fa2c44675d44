#include "merge_recovery.h"

#include "handle_random.h"
#include "merge.h"
#include "op_window.h"
#include "piece_paths.h"
#include "recovery_rebuild.h"

sundrel::RecoverySet<wchar_t> ReadPlanRecovery(const wchar_t* folder,
                                              const sundrel::MergePlan<wchar_t>& plan)
{
    if (plan.recovery.empty())
        return {};
    WindowsPieceFolder files(folder);
    return sundrel::ReadRecoverySet(files, plan);
}

// The file a failed read names, as its path in folder; empty when none can
// be named.
static std::wstring FailedFile(const wchar_t* folder, const sundrel::MergePlan<wchar_t>& plan,
                               const sundrel::RecoverySet<wchar_t>& recovery,
                               const sundrel::RebuildOutcome& outcome)
{
    const std::wstring* name = sundrel::FailedFileName(plan, recovery, outcome);
    wchar_t path[MAX_PATH];
    return name && JoinFileName(folder, *name, path) ? path : L"";
}

// The bytes the merge reads once when nothing is lost: the pieces and the
// recovery pieces.
static uint64_t SetBytes(const sundrel::MergePlan<wchar_t>& plan,
                         const sundrel::RecoverySet<wchar_t>& recovery)
{
    uint64_t total = 0;
    for (unsigned n = 1; n <= plan.count; ++n)
        if (plan.places[n - 1] >= 0)
            total += plan.Place(n).head.length;
    for (size_t i = 0; i < plan.recovery.size(); ++i)
        if (recovery.files[i].verdict == sundrel::RecoveryFileVerdict::Usable)
            total += plan.recovery[i].head.length;
    return total;
}

RECOVERY_MERGE_RESULT MergeThroughRecovery(HWND window, const wchar_t* folder,
                                           const sundrel::MergePlan<wchar_t>& plan,
                                           const sundrel::RecoverySet<wchar_t>& recovery,
                                           HANDLE merged)
{
    RECOVERY_MERGE_RESULT result;
    WindowsPieceFolder files(folder);
    sundrel::OpenedSet opened = sundrel::OpenRecoverySet(files, plan, recovery);
    HandleRestartableSink out(merged);
    OperationObserver observer(window, SetBytes(plan, recovery), false);
    sundrel::RecoveryMergeOutcome outcome =
        sundrel::MergeWithRecovery(recovery.manifest, opened.sources, out, observer);
    switch (outcome.result.status) {
    case sundrel::RebuildStatus::Ok:
        result.status = RecoveryMergeStatus::Merged;
        if (outcome.inspected)
            result.rebuilt = sundrel::PiecesToRebuild(outcome.inspection);
        break;
    case sundrel::RebuildStatus::Stopped:
        result.status = RecoveryMergeStatus::Stopped;
        break;
    case sundrel::RebuildStatus::ReadFailed:
        result.status = RecoveryMergeStatus::ReadFailed;
        result.path = FailedFile(folder, plan, recovery, outcome.result);
        break;
    case sundrel::RebuildStatus::WriteFailed:
        result.status = RecoveryMergeStatus::WriteFailed;
        break;
    case sundrel::RebuildStatus::Unrecoverable:
        result.status = RecoveryMergeStatus::Unrecoverable;
        result.shortfall = outcome.inspection.shortfall;
        break;
    case sundrel::RebuildStatus::Mismatch:
        result.status = RecoveryMergeStatus::Mismatch;
        break;
    }
    return result;
}

std::vector<std::wstring> SetFiles(const wchar_t* folder, const sundrel::MergePlan<wchar_t>& plan,
                                   const sundrel::RecoverySet<wchar_t>& recovery)
{
    std::vector<std::wstring> paths;
    wchar_t path[MAX_PATH];
    for (unsigned n = 1; n <= plan.count; ++n)
        if (plan.places[n - 1] >= 0 && plan.Place(n).verdict == sundrel::PlanVerdict::Member &&
            JoinFileName(folder, plan.Place(n).name, path))
            paths.push_back(path);
    for (size_t i = 0; i < plan.recovery.size(); ++i)
        if (recovery.files[i].verdict == sundrel::RecoveryFileVerdict::Usable &&
            JoinFileName(folder, plan.recovery[i].name, path))
            paths.push_back(path);
    return paths;
}

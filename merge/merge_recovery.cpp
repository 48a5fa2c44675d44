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

// The path in folder of the file a failed read names; empty when none can
// be named.
static std::wstring FailedFile(const wchar_t* folder, const sundrel::MergePlan<wchar_t>& plan,
                               const sundrel::RecoverySet<wchar_t>& recovery,
                               const sundrel::RebuildOutcome& outcome)
{
    const std::wstring* name = sundrel::FailedFileName(plan, recovery, outcome);
    wchar_t path[MAX_PATH];
    return name && JoinFileName(folder, *name, path) ? path : L"";
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
    OperationObserver observer(window, sundrel::SetBytes(plan, recovery), false);
    sundrel::RecoveryMergeOutcome outcome =
        sundrel::MergeWithRecovery(recovery.manifest, opened.sources, out, observer);
    switch (outcome.result.status) {
    case sundrel::RebuildStatus::Ok:
        result.status = RecoveryMergeStatus::Merged;
        if (outcome.inspected)
            result.rebuilt = sundrel::RebuiltPieces(outcome.inspection);
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
    for (const std::wstring& name : sundrel::SetFileNames(plan, recovery))
        if (JoinFileName(folder, name, path))
            paths.push_back(path);
    return paths;
}

#include "merge_recovery.h"

#include "handle_random.h"
#include "lang.h"
#include "merge.h"
#include "op_window.h"
#include "piece_paths.h"
#include "qoc.h"
#include "recovery_rebuild.h"

static const LANG_TEXT kReadError = {L"An error occurred while reading the input file\n(%s)",
                                     L"入力ファイルの読み出しでエラーが発生しました\n(%s)"};
static const LANG_TEXT kWriteError = {L"An error occurred while writing the integrate file",
                                      L"統合ファイルの書き込みでエラーが発生しました"};
static const LANG_TEXT kMismatch = {
    L"The merged data does not match the SHA-256 that the recovery files hold.",
    L"統合したデータが修復用ファイルの SHA-256 と一致しません。"};
static const LANG_TEXT kShortfall = {
    L"Too many pieces are missing or damaged to rebuild them.\n%u more recovery files are needed.",
    L"失われたか壊れた分割ファイルが多すぎて復元できません。\n修復用ファイルがあと %u 個必要です。"};
static const LANG_TEXT kRebuilt = {
    L"These pieces were missing or damaged and have been rebuilt from the recovery files:\n%s",
    L"次の分割ファイルは失われたか壊れていたため、修復用ファイルから復元しました：\n%s"};

sundrel::RecoverySet<wchar_t> ReadPlanRecovery(const wchar_t* folder,
                                              const sundrel::MergePlan<wchar_t>& plan)
{
    if (plan.recovery.empty())
        return {};
    WindowsPieceFolder files(folder);
    return sundrel::ReadRecoverySet(files, plan);
}

// The file a failed read names: a piece in its place or a recovery piece of
// the manifest, as its path in folder; empty when none can be named.
static std::wstring FailedFile(const wchar_t* folder, const sundrel::MergePlan<wchar_t>& plan,
                               const sundrel::RecoverySet<wchar_t>& recovery,
                               const sundrel::RebuildOutcome& outcome)
{
    const std::wstring* name = nullptr;
    if (!outcome.inRecovery && outcome.piece < plan.count && plan.places[outcome.piece] >= 0)
        name = &plan.Place(outcome.piece + 1).name;
    for (size_t i = 0; outcome.inRecovery && !name && i < plan.recovery.size(); ++i)
        if (recovery.files[i].verdict == sundrel::RecoveryFileVerdict::Usable &&
            plan.recovery[i].number.index == outcome.piece + 1)
            name = &plan.recovery[i].name;
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

RECOVERY_MERGE_RESULT MergeThroughRecovery(HWND window, const wchar_t* caption,
                                           const wchar_t* folder,
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
        result.merged = true;
        break;
    case sundrel::RebuildStatus::Stopped:
        return result;
    case sundrel::RebuildStatus::ReadFailed:
        ShowOpError(window, caption, kReadError,
                    FailedFile(folder, plan, recovery, outcome.result).c_str());
        return result;
    case sundrel::RebuildStatus::WriteFailed:
        ShowOpError(window, caption, kWriteError);
        return result;
    case sundrel::RebuildStatus::Unrecoverable: {
        wchar_t text[128];
        unsigned more = outcome.inspection.shortfall > UINT_MAX ? UINT_MAX
                                                                : (unsigned)outcome.inspection.shortfall;
        QocSnPrintFW(text, 128, PickText(kShortfall), more);
        MessageBoxW(window, text, caption, MB_ICONERROR | MB_OK);
        return result;
    }
    case sundrel::RebuildStatus::Mismatch:
        ShowOpError(window, caption, kMismatch);
        return result;
    }
    if (outcome.inspected)
        for (unsigned p = 0; p < recovery.manifest.count; ++p)
            if (!sundrel::DataIsWhole(outcome.inspection.pieces[p].state))
                result.rebuilt.push_back(p + 1);
    return result;
}

void ShowRebuiltPieces(HWND window, const wchar_t* caption, const std::vector<unsigned>& rebuilt)
{
    std::wstring list;
    for (unsigned number : rebuilt) {
        wchar_t item[16];
        QocSnPrintFW(item, 16, L"%02u", number);
        list += (list.empty() ? L"" : L", ") + std::wstring(item);
    }
    wchar_t text[512];
    QocSnPrintFW(text, 512, PickText(kRebuilt), list.c_str());
    MessageBoxW(window, text, caption, MB_ICONINFORMATION | MB_OK);
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

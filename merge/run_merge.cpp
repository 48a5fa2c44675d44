// The merge: verifies every block of the collected pieces and joins their data
// into a new file named after the divided file and the local time; through
// the recovery pieces of the set when there are any.
#include <windows.h>
#include <shellapi.h>
#include <stdint.h>
#include <stdlib.h>
#include <wchar.h>

#include "app.h"
#include "file_ops.h"
#include "handle_streams.h"
#include "lang.h"
#include "merge.h"
#include "merge_recovery.h"
#include "merged_name.h"
#include "op_window.h"
#include "piece_io.h"
#include "piece_layout.h"
#include "piece_paths.h"
#include "qoc.h"
#include "resource.h"
#include "settings_record.h"

static const LANG_TEXT kCaption = {L"File Integrate", L"ファイル統合"};
static const LANG_TEXT kNoFile = {L"The specified file does not exist\n(%s)",
                                  L"指定されたファイルがありません\n(%s)"};
static const LANG_TEXT kCollectError = {L"Failed to collect divided files.",
                                        L"入力・分割ファイルの収集に失敗しました。"};
static const LANG_TEXT kNotFolder = {L"The location specified for output is not a folder \n(%s)",
                                     L"出力に指定した場所はフォルダではありません\n(%s)"};
static const LANG_TEXT kCreateError = {L"Could not create divide file\n(%s)",
                                       L"統合ファイルを作成できませんでした\n(%s)"};
static const LANG_TEXT kOpenError = {L"Unable to open input file\n(%s)",
                                     L"入力ファイルをオープンできません\n(%s)"};
static const LANG_TEXT kReadError = {L"An error occurred while reading the input file",
                                     L"入力ファイルの読み出しでエラーが発生しました"};
static const LANG_TEXT kCorrupted = {L"Divide data is corrupted\n(%s)",
                                     L"分割データが破損しています\n(%s)"};
static const LANG_TEXT kWriteError = {L"An error occurred while writing the integrate file",
                                      L"統合ファイルの書き込みでエラーが発生しました"};
// Merges through recovery pieces.
static const LANG_TEXT kReadFileError = {L"An error occurred while reading the input file\n(%s)",
                                         L"入力ファイルの読み出しでエラーが発生しました\n(%s)"};
static const LANG_TEXT kMismatch = {
    L"The merged data does not match the SHA-256 that the recovery files hold.",
    L"統合したデータが修復用ファイルの SHA-256 と一致しません。"};
static const LANG_TEXT kShortfall = {
    L"Too many pieces are missing or damaged to rebuild them.\n%u more recovery files are needed.",
    L"失われたか壊れた分割ファイルが多すぎて復元できません。\n修復用ファイルがあと %u 個必要です。"};
static const LANG_TEXT kRebuilt = {
    L"These pieces were missing or damaged and have been rebuilt from the recovery files:\n%s",
    L"次の分割ファイルは失われたか壊れていたため、修復用ファイルから復元しました：\n%s"};

using sundrel::kMaxPieceCount;

// One merge run.
struct MERGE_RUN {
    HWND window;
    const wchar_t* caption;
    int failed;
    int count;                                // pieces of the division
    wchar_t pieces[kMaxPieceCount][MAX_PATH]; // their paths in number order
    uint64_t lengths[kMaxPieceCount];         // their lengths before the copy
    HANDLE merged;
    uint64_t total;                           // bytes of all pieces
};

static void Fail(MERGE_RUN& run, const LANG_TEXT& text, const wchar_t* path = nullptr)
{
    ShowOpError(run.window, run.caption, text, path);
    run.failed = 1;
}

// The pieces of the division, in number order, with their lengths held to
// what the layout allows before the merged file exists: a piece cut at a
// block boundary passes every FCS, and only its length can tell. With
// recovery pieces that carry a manifest, the plan goes to them as it is:
// they prove the set, and rebuild what is missing or damaged.
static bool TakePlan(MERGE_RUN& run, wchar_t* folder, sundrel::MergePlan<wchar_t>& plan,
                     sundrel::RecoverySet<wchar_t>& recovery)
{
    plan = CollectPieces(g_szCmdFile, folder);
    recovery = ReadPlanRecovery(folder, plan);
    if (recovery.hasManifest)
        return true;
    if (!plan.Collected()) {
        Fail(run, kCollectError);
        return false;
    }
    run.count = (int)plan.count;
    for (unsigned n = 1; n <= plan.count; ++n) {
        if (!JoinFileName(folder, plan.Place(n).name, run.pieces[n - 1])) {
            Fail(run, kCollectError);
            return false;
        }
        run.lengths[n - 1] = plan.Place(n).head.length;
        run.total += run.lengths[n - 1];
    }
    if (plan.firstLengthFault == plan.count)
        return true;
    // A fragment of 1 or 2 bytes has always been a read error.
    if (plan.Place(unsigned(plan.firstLengthFault) + 1).lengthFault == sundrel::LengthFault::Tail)
        Fail(run, kReadError);
    else
        Fail(run, kCorrupted, run.pieces[plan.firstLengthFault]);
    return false;
}

// Verifies one open piece block by block and writes the data of every
// block that passes.
static void CopyBlocks(MERGE_RUN& run, int index, HANDLE piece, uint8_t* chunk,
                       OperationObserver& observer)
{
    HandleSource source(piece);
    HandleSink merged(run.merged);
    sundrel::PieceOutcome outcome = sundrel::JoinPieceBlocks(source, &merged, chunk, observer);
    switch (outcome.status) {
    case sundrel::PieceStatus::Ok:
    case sundrel::PieceStatus::Empty:
        // A piece that changed since it was measured is not the piece judged.
        if (outcome.offset != run.lengths[index])
            Fail(run, kCorrupted, run.pieces[index]);
        break;
    case sundrel::PieceStatus::Stopped:
        break;   // a cancel: no message
    case sundrel::PieceStatus::Corrupted:
        Fail(run, kCorrupted, run.pieces[index]);
        break;
    case sundrel::PieceStatus::DataWriteFailed:
        Fail(run, kWriteError);
        break;
    default:   // a failed read, a short ID, a fragment of 1 or 2 bytes
        Fail(run, kReadError);
        break;
    }
}

static void CopyPieces(MERGE_RUN& run)
{
    uint8_t chunk[sundrel::kChunkSize];
    OperationObserver observer(run.window, run.total, false);
    for (int i = 0; i < run.count && !run.failed && !g_fCancelReq; ++i) {
        HANDLE piece = CreateFileW(run.pieces[i], GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        if (piece == INVALID_HANDLE_VALUE) {
            Fail(run, kOpenError, run.pieces[i]);
            return;
        }
        CopyBlocks(run, i, piece, chunk, observer);
        CloseHandle(piece);
    }
}

// Through the recovery pieces: the failure's message, if any.
static void MergeRecoverySet(MERGE_RUN& run, const wchar_t* folder,
                             const sundrel::MergePlan<wchar_t>& plan,
                             const sundrel::RecoverySet<wchar_t>& recovery,
                             std::vector<unsigned>* rebuilt)
{
    RECOVERY_MERGE_RESULT result = MergeThroughRecovery(run.window, folder, plan, recovery, run.merged);
    switch (result.status) {
    case RecoveryMergeStatus::Merged:
        *rebuilt = result.rebuilt;
        break;
    case RecoveryMergeStatus::Stopped:
        break;   // a cancel: no message
    case RecoveryMergeStatus::ReadFailed:
        if (result.path.empty())
            Fail(run, kReadError);
        else
            Fail(run, kReadFileError, result.path.c_str());
        break;
    case RecoveryMergeStatus::WriteFailed:
        Fail(run, kWriteError);
        break;
    case RecoveryMergeStatus::Unrecoverable: {
        wchar_t text[128];
        unsigned more = result.shortfall > UINT_MAX ? UINT_MAX : (unsigned)result.shortfall;
        QocSnPrintFW(text, 128, PickText(kShortfall), more);
        MessageBoxW(run.window, text, run.caption, MB_ICONERROR | MB_OK);
        run.failed = 1;
        break;
    }
    case RecoveryMergeStatus::Mismatch:
        Fail(run, kMismatch);
        break;
    }
}

// After a merge that rebuilt pieces: which ones, in an information box.
static void ShowRebuiltPieces(const MERGE_RUN& run, const std::vector<unsigned>& rebuilt)
{
    std::wstring list;
    for (unsigned number : rebuilt) {
        wchar_t item[16];
        QocSnPrintFW(item, 16, L"%02u", number);
        list += (list.empty() ? L"" : L", ") + std::wstring(item);
    }
    wchar_t text[512];
    QocSnPrintFW(text, 512, PickText(kRebuilt), list.c_str());
    MessageBoxW(run.window, text, run.caption, MB_ICONINFORMATION | MB_OK);
}

// MrgDir when the merge settings ask for it, else the pieces' own folder;
// either way ending in a separator.
static bool GetOutputFolder(MERGE_RUN& run, wchar_t* folder)
{
    if (g_Set.fMrgDir) {
        wcscpy_s(folder, MAX_PATH, g_Set.MrgDir);
        if (!QocPathCatW(folder, L"", MAX_PATH) || !QocPathIsDirectoryW(folder)) {
            Fail(run, kNotFolder, folder);
            return false;
        }
        return true;
    }
    wchar_t drive[_MAX_DRIVE], dir[MAX_PATH];
    if (_wsplitpath_s(g_szCmdFile, drive, _MAX_DRIVE, dir, MAX_PATH, nullptr, 0, nullptr, 0) != 0 ||
        QocSnPrintFW(folder, MAX_PATH, L"%s%s", drive, dir) < 0 ||
        !QocPathCatW(folder, L"", MAX_PATH)) {
        Fail(run, kNotFolder, folder);
        return false;
    }
    return true;
}

// Creates the new merged file in folder; mergedPath gets its path. A file of
// that name that already exists is left alone.
static bool CreateMergedFile(MERGE_RUN& run, const wchar_t* folder, wchar_t* mergedPath)
{
    wchar_t dividedName[MAX_PATH];
    SYSTEMTIME now;
    GetLocalTime(&now);
    const sundrel::StampTime stamp = {now.wYear, now.wMonth, now.wDay,
                                      now.wHour, now.wMinute, now.wSecond};
    // A name that does not fit is never cut: it could name another file.
    if (!GetDividedFileName(g_szCmdFile, dividedName, MAX_PATH) ||
        !JoinFileName(folder, sundrel::MergedFileName<wchar_t>(dividedName, stamp), mergedPath)) {
        wcscpy_s(mergedPath, MAX_PATH, folder);
        Fail(run, kCreateError, mergedPath);
        return false;
    }
    run.merged = CreateFileW(mergedPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             CreationAttributesOf(g_szCmdFile), nullptr);
    if (run.merged == INVALID_HANDLE_VALUE) {
        Fail(run, kCreateError, mergedPath);
        return false;
    }
    return true;
}

INT_PTR RunMerge(HWND window, UINT, WPARAM, LPARAM)
{
    // Start reaches the window again while the merge lets messages through.
    if (g_fOpRunning)
        return 1;
    MERGE_RUN run = {};
    run.window = window;
    run.caption = PickText(kCaption);
    run.merged = INVALID_HANDLE_VALUE;
    BeginOperation(window);

    wchar_t folder[MAX_PATH] = L"", mergedPath[MAX_PATH] = L"", pieceFolder[MAX_PATH] = L"";
    sundrel::MergePlan<wchar_t> plan;
    sundrel::RecoverySet<wchar_t> recovery;
    bool created = false;
    if (!QocPathIsFileW(g_szCmdFile))
        Fail(run, kNoFile, g_szCmdFile);
    else if (TakePlan(run, pieceFolder, plan, recovery) && GetOutputFolder(run, folder))
        created = CreateMergedFile(run, folder, mergedPath);

    std::vector<unsigned> rebuilt;
    if (created) {
        if (recovery.hasManifest)
            MergeRecoverySet(run, pieceFolder, plan, recovery, &rebuilt);
        else
            CopyPieces(run);
        if (!CloseHandle(run.merged) && !run.failed)
            Fail(run, kWriteError);
    }
    bool merged = created && !run.failed && !g_fCancelReq;
    if (created && !merged)
        DeleteFileForce(mergedPath);
    if (merged && !rebuilt.empty())
        ShowRebuiltPieces(run, rebuilt);
    // The pieces go only once the merged file is complete and closed.
    if (merged && g_Set.fMrgRmv && recovery.hasManifest)
        for (const std::wstring& path : SetFiles(pieceFolder, plan, recovery))
            DeleteFileForce(path.c_str());
    else if (merged && g_Set.fMrgRmv)
        for (int i = 0; i < run.count; ++i)
            DeleteFileForce(run.pieces[i]);
    if (merged && g_Set.fMrgOpen) {
        ShellExecuteW(nullptr, nullptr, folder, L"", L"", SW_SHOW);
        Sleep(100);
    }
    EndOperation(window);
    return 1;
}

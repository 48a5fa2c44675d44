// The division: the command-line file into numbered pieces, each a divide
// file ID followed by blocks of at most 4096 bytes with their FCS, and, when
// the settings ask for them, recovery pieces after them.
#include "divide.h"

#include <shellapi.h>
#include <stdint.h>
#include <stdlib.h>
#include <wchar.h>

#include "app.h"
#include "divide_recovery.h"
#include "file_ops.h"
#include "handle_streams.h"
#include "lang.h"
#include "mail_sheets.h"
#include "op_window.h"
#include "piece_io.h"
#include "piece_layout.h"
#include "piece_names.h"
#include "piece_paths.h"
#include "qoc.h"
#include "resource.h"
#include "settings_record.h"

static const LANG_TEXT kCaption = {L"Sundrel", L"ファイル分割"};

static const LANG_TEXT kNoSourceText = {L"The specified file does not exist\n(%s)",
                                        L"指定されたファイルがありません\n(%s)"};
static const LANG_TEXT kNotFolderText = {
    L"The location specified for output is not a folder \n(%s)",
    L"出力に指定した場所はフォルダではありません\n(%s)"};
static const LANG_TEXT kStaleQuestion = {
    L"A divided file with the same name exists.\n\n     Do you want to remove these?",
    L"同名の分割ファイルが存在します。\n\n    これらを削除しますか？"};
static const LANG_TEXT kTooManyText = {
    L"The file would be divided into %u pieces, but at most 99 are possible.\nPlease choose a "
    L"larger division size.",
    L"分割数が %u 個になります。分割できるのは 99 個までです。\n分割サイズを大きくしてください。"};
static const LANG_TEXT kOpenSourceText = {L"Unable to open input file\n(%s)",
                                          L"入力ファイルをオープンできません\n(%s)"};
static const LANG_TEXT kCreateText = {L"Could not create divide file\n(%s)",
                                      L"分割ファイルを作成できませんでした\n(%s)"};
static const LANG_TEXT kWriteIdText = {L"An error occurred while writing the divide file ID",
                                       L"分割ファイルＩＤの書き込みでエラーが発生しました"};
static const LANG_TEXT kReadText = {L"An error occurred while reading the input file",
                                    L"入力ファイルの読み出しでエラーが発生しました"};
static const LANG_TEXT kWriteDataText = {L"An error occurred while writing the divide file",
                                         L"分割ファイルの書き込みでエラーが発生しました"};
static const LANG_TEXT kWriteFcsText = {
    L"An error occurred while writing the CRC of the divide file.",
    L"分割ファイルのＣＲＣ書き込みでエラーが発生しました"};
static const LANG_TEXT kWriteRecoveryText = {
    L"An error occurred while writing the recovery file\n(%s)",
    L"修復用ファイルの書き込みでエラーが発生しました\n(%s)"};

// One division: what every step needs to know.
struct DIVIDE_JOB {
    HWND window;
    const wchar_t* caption;
    uint32_t id;                  // divide file ID, little-endian at the head of every piece
    wchar_t source[MAX_PATH];
    wchar_t name[MAX_PATH];       // without the last extension
    wchar_t ext[MAX_PATH];        // with its dot, or empty
    wchar_t outFolder[MAX_PATH];  // ends with a separator
    wchar_t pattern[MAX_PATH];    // empty until the pieces may be touched
    HANDLE sourceFile;            // open from the plan to the end
    uint64_t size;
    uint64_t pieceSize;
    unsigned count;
    unsigned recoveryCount;
    DWORD attributes;
};

static void ShowError(const DIVIDE_JOB& job, const LANG_TEXT& text, const wchar_t* path = nullptr)
{
    ShowOpError(job.window, job.caption, text, path);
}

// The source's name and extension that a piece pattern was made of: the
// pattern's file name without its "(*.divide".
static bool PatternSourceName(const wchar_t* pattern, wchar_t* sourceName)
{
    static const size_t kPatternTailLen = 9;   // "(*.divide"
    const wchar_t* fileName = wcsrchr(pattern, L'\\');
    fileName = fileName ? fileName + 1 : pattern;
    size_t len = wcslen(fileName);
    if (len < kPatternTailLen || wcsncpy_s(sourceName, MAX_PATH, fileName, len - kPatternTailLen) != 0)
        return false;
    return true;
}

// A file that the piece pattern found is a piece or recovery piece of this
// source only when its name is exactly the source's name followed by a
// marker: the pattern alone also finds the pieces of "report(2)" when
// dividing "report".
static bool IsFoundPiece(const WIN32_FIND_DATAW& found, const wchar_t* sourceName)
{
    sundrel::PieceNumber piece;
    sundrel::RecoveryNumber recovery;
    return !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (sundrel::ParsePieceFileName<wchar_t>(found.cFileName, sourceName, &piece) ||
            sundrel::ParseRecoveryFileName<wchar_t>(found.cFileName, sourceName, &recovery));
}

void DeletePieces(const wchar_t* pattern)
{
    wchar_t drive[MAX_PATH], dir[MAX_PATH], folder[MAX_PATH], sourceName[MAX_PATH];
    if (pattern[0] == L'\0' || !PatternSourceName(pattern, sourceName) ||
        _wsplitpath_s(pattern, drive, MAX_PATH, dir, MAX_PATH, nullptr, 0, nullptr, 0) != 0 ||
        _wmakepath_s(folder, MAX_PATH, drive, dir, nullptr, nullptr) != 0)
        return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        wchar_t path[MAX_PATH];
        // A path that does not fit is left alone rather than cut.
        if (!IsFoundPiece(found, sourceName) || wcscpy_s(path, folder) != 0 ||
            !QocPathCatW(path, found.cFileName, MAX_PATH))
            continue;
        DeleteFileForce(path);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Source parts and the output folder; false after its message.
static bool PrepareFolders(DIVIDE_JOB& job)
{
    if (!QocPathIsFileW(g_szCmdFile)) {
        ShowError(job, kNoSourceText, g_szCmdFile);
        return false;
    }
    wchar_t drive[MAX_PATH], dir[MAX_PATH];
    if (wcscpy_s(job.source, g_szCmdFile) != 0 ||
        _wsplitpath_s(job.source, drive, MAX_PATH, dir, MAX_PATH, job.name, MAX_PATH, job.ext,
                      MAX_PATH) != 0) {
        ShowError(job, kNoSourceText, g_szCmdFile);
        return false;
    }
    if (!g_Set.fDivDir) {
        // Never an empty folder in its place: that would be the current one.
        if (_wmakepath_s(job.outFolder, MAX_PATH, drive, dir, nullptr, nullptr) == 0)
            return true;
        ShowError(job, kNotFolderText, g_szCmdFile);
        return false;
    }
    wcscpy_s(job.outFolder, g_Set.DivDir);
    // Without its separator the folder's name would become part of every
    // piece name, so a folder that cannot take one counts as no folder.
    if (!QocPathCatW(job.outFolder, L"", MAX_PATH) || !QocPathIsDirectoryW(job.outFolder)) {
        ShowError(job, kNotFolderText, job.outFolder);
        return false;
    }
    return true;
}

// The source opened and its size read, the piece count, refused beyond
// what two-digit markers can name, and every piece name checked to fit,
// all before anything is touched. The size comes from the open file: a
// size that cannot be read must not pass for an empty source.
static bool PlanPieces(DIVIDE_JOB& job)
{
    job.sourceFile = CreateFileW(job.source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (job.sourceFile == INVALID_HANDLE_VALUE) {
        ShowError(job, kOpenSourceText, job.source);
        return false;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(job.sourceFile, &size)) {
        ShowError(job, kReadText);
        return false;
    }
    UINT divSize = g_Set.DivSize ? g_Set.DivSize : kDefaultDivSize;
    job.size = (uint64_t)size.QuadPart;
    job.pieceSize = divSize * sundrel::kMiB;
    uint64_t count = sundrel::PieceCountFor(job.size, job.pieceSize);
    if (count > sundrel::kMaxPieceCount) {
        wchar_t message[128];
        unsigned shown = count > UINT32_MAX ? UINT32_MAX : (unsigned)count;
        QocSnPrintFW(message, 128, PickText(kTooManyText), shown);
        MessageBoxW(job.window, message, job.caption, MB_ICONERROR | MB_OK);
        return false;
    }
    job.count = (unsigned)count;
    job.recoveryCount = RecoveryCountFor(job.count);
    // With at most 99 pieces every name has the same length as the last one,
    // and every recovery piece's name the same as the last recovery piece's.
    wchar_t last[MAX_PATH];
    if (!FormatPieceName(job.outFolder, job.name, job.ext, job.count, job.count, last) ||
        (job.recoveryCount && !FormatRecoveryName(job.outFolder, job.name, job.ext, job.count,
                                                  job.recoveryCount, job.recoveryCount, last))) {
        wchar_t shown[MAX_PATH];
        QocSnPrintFW(shown, MAX_PATH, L"%s%s%s", job.outFolder, job.name, job.ext);
        ShowError(job, kCreateText, shown);
        return false;
    }
    job.attributes = CreationAttributesOf(job.source);
    return FormatPiecePattern(job.outFolder, job.name, job.ext, job.pattern);
}

// Earlier pieces of the same name: asked once unless fDivRmv says to remove
// them silently. False when the user keeps them.
static bool RemoveStalePieces(const DIVIDE_JOB& job)
{
    wchar_t sourceName[MAX_PATH];
    if (!g_Set.fDivRmv && PatternSourceName(job.pattern, sourceName)) {
        bool ask = false;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(job.pattern, &found);
        if (search != INVALID_HANDLE_VALUE) {
            do
                ask = IsFoundPiece(found, sourceName);
            while (!ask && FindNextFileW(search, &found));
            FindClose(search);
        }
        if (ask && MessageBoxW(g_hWndMain, PickText(kStaleQuestion), job.caption, MB_YESNO) == IDNO)
            return false;
    }
    DeletePieces(job.pattern);
    return true;
}

// Creates piece number with the source's attributes; CREATE_NEW never
// overwrites, so a name that survived the cleanup stops the division.
static HANDLE CreatePiece(const DIVIDE_JOB& job, unsigned number, DWORD disposition)
{
    wchar_t path[MAX_PATH];
    HANDLE piece = INVALID_HANDLE_VALUE;
    if (FormatPieceName(job.outFolder, job.name, job.ext, number, job.count, path))
        piece = CreateFileW(path, GENERIC_WRITE, 0, nullptr, disposition, job.attributes, nullptr);
    if (piece == INVALID_HANDLE_VALUE)
        ShowError(job, kCreateText, path);
    return piece;
}

// Writes every piece, the SHA-256 sums taken into hashes when it wants
// them; false after a failure's message. A cancel ends it quietly at the
// next block, and the caller sees the flag.
static bool WritePieces(const DIVIDE_JOB& job, sundrel::DivisionHashes& hashes,
                        sundrel::BlockObserver& observer)
{
    if (job.size == 0) {
        HANDLE piece = CreatePiece(job, 1, CREATE_ALWAYS);
        if (piece == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(piece);
        hashes.EndPiece();
        return true;
    }
    HandleSource plainSource(job.sourceFile);
    sundrel::ByteSource& source = hashes.Source(plainSource);
    uint8_t block[sundrel::kBlockDataSize];
    uint64_t remaining = job.size;
    for (unsigned number = 1; !g_fCancelReq && number <= job.count && remaining; ++number) {
        HANDLE piece = CreatePiece(job, number, CREATE_NEW);
        if (piece == INVALID_HANDLE_VALUE)
            return false;
        HandleSink plainSink(piece);
        sundrel::ByteSink& sink = hashes.Piece(plainSink);
        const LANG_TEXT* failure = nullptr;
        uint64_t dataBytes = remaining < job.pieceSize ? remaining : job.pieceSize;
        if (!sundrel::WritePieceId(sink, job.id)) {
            failure = &kWriteIdText;
        } else {
            sundrel::PieceOutcome outcome =
                sundrel::WritePieceBlocks(source, sink, dataBytes, block, observer);
            remaining -= outcome.dataBytes;
            switch (outcome.status) {
            case sundrel::PieceStatus::ReadFailed: failure = &kReadText; break;
            case sundrel::PieceStatus::DataWriteFailed: failure = &kWriteDataText; break;
            case sundrel::PieceStatus::FcsWriteFailed: failure = &kWriteFcsText; break;
            default: break;   // written, or stopped by a cancel
            }
        }
        if (failure)
            ShowError(job, *failure);
        CloseHandle(piece);
        if (failure)
            return false;
        hashes.EndPiece();
    }
    return true;
}

// The pieces, then the recovery pieces the settings ask for, under one
// progress bar.
static bool WriteDivision(const DIVIDE_JOB& job)
{
    sundrel::DivisionHashes hashes(job.recoveryCount > 0);
    OperationObserver observer(
        job.window, job.size + sundrel::RecoveryProgressBytes(job.size, job.pieceSize, job.recoveryCount), true);
    if (!WritePieces(job, hashes, observer))
        return false;
    if (!job.recoveryCount || g_fCancelReq)
        return true;
    const RECOVERY_TARGET target = {job.outFolder, job.name, job.ext, job.attributes};
    RECOVERY_FILES_RESULT written = WriteRecoveryFiles(
        target, hashes.Manifest(job.id, job.size, job.pieceSize, job.count, job.recoveryCount),
        job.sourceFile, observer);
    switch (written.status) {
    case RecoveryFilesStatus::Written:
    case RecoveryFilesStatus::Stopped:
        return true;
    case RecoveryFilesStatus::CreateFailed:
        ShowError(job, kCreateText, written.path.c_str());
        return false;
    case RecoveryFilesStatus::WriteFailed:
        ShowError(job, kWriteRecoveryText, written.path.c_str());
        return false;
    case RecoveryFilesStatus::ReadFailed:
        break;
    }
    ShowError(job, kReadText);
    return false;
}

INT_PTR DivideFile(HWND window, UINT, WPARAM, LPARAM)
{
    // A start command that arrives between blocks never nests a division.
    if (g_fOpRunning)
        return 1;
    DIVIDE_JOB job = {};
    job.window = window;
    job.sourceFile = INVALID_HANDLE_VALUE;
    job.caption = PickText(kCaption);
    SYSTEMTIME now;
    GetSystemTime(&now);
    job.id = QocSysTimeToTime1970(&now);
    BeginOperation(window);

    bool failed = !PrepareFolders(job) || !PlanPieces(job);
    bool declined = !failed && !RemoveStalePieces(job);
    if (!failed && !declined)
        failed = !WriteDivision(job);
    if (job.sourceFile != INVALID_HANDLE_VALUE)
        CloseHandle(job.sourceFile);

    if (failed || g_fCancelReq) {
        if (!declined)
            DeletePieces(job.pattern);
    } else if (!declined) {
        if (g_Set.fDivOpen) {
            ShellExecuteW(nullptr, nullptr, job.outFolder, L"", L"", SW_SHOW);
            Sleep(100);
        }
        if (QocGetDlgItemChk(window, IDC_OUTLOOK))
            OpenMailSheets(window, job.outFolder, job.name, job.ext, job.count, job.recoveryCount);
    }
    EndOperation(window);
    return 1;
}

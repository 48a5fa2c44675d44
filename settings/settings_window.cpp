// The settings window (template 101): edits the settings record and stores
// it in the user's profile. One settings window at a time per logon.
#include <windows.h>
#include <shlwapi.h>
#include <stdlib.h>

#include "app.h"
#include "dialog_map.h"
#include "lang.h"
#include "mail_size_label.h"
#include "qoc.h"
#include "resource.h"
#include "settings_record.h"

static const wchar_t kMutexName[] = L"QorSundrelSetting";
static const wchar_t kActivateMessage[] = L"QorActSet";
// Timer 1 re-arms the Outlook-folder check shortly after the check itself
// has written box 1040, so that those writes, and the focus changes of its
// error box, do not check again.
static const UINT_PTR kCheckTimer = 1;
static const UINT kCheckDelayMs = 10;

static HANDLE g_hSettingMutex;
static int g_fOutlookCheck;

static const LANG_TEXT kCaption = {L"File Division/Merge settings", L"ファイル分割／統合の設定"};
static const LANG_TEXT kDivBrowseTitle = {L"Folder to store divide files", L"分割ファイルを格納する場所"};
static const LANG_TEXT kMrgBrowseTitle = {L"Folder to store divide files", L"統合ファイルを格納する場所"};
static const LANG_TEXT kOutlookBrowseTitle = {L"Outlook.exe folder path", L"Outlook.exeの場所"};
static const LANG_TEXT kOutlookNotFound = {L"Outlook.exe not found\n(%s)",
                                           L"Outlook.exe が見つかりません\n(%s)"};
// Beside the piece size: what one full piece weighs as a mail attachment.
static const LANG_TEXT kPieceMailSize = {L"≈ %s MB as mail", L"メール添付で約 %s MB"};

// OK, Cancel, "[ MB ]", 1041 and the "..." buttons keep their template texts.
static const CTRL_TEXT kEnglishTexts[] = {
    {IDC_DIV_BOX, L"File Division"},
    {IDC_DIV_RADIO, L"Folder to store"},
    {IDC_DIV_FOLDER_A, L"Ssame folder as original file"},
    {IDC_DIV_FOLDER_B, L"Specified folder"},
    {IDC_DIVSIZE_LABEL, L"Division Size"},
    {IDC_DIV_OPEN, L"Once the files have been divided, open the divided file folder."},
    {IDC_DIV_RMV, L"If there is already a split file with the same name, delete it."},
    {IDC_MRG_BOX, L"File Merge"},
    {IDC_MRG_RADIO, L"Folder to store"},
    {IDC_MRG_FOLDER_A, L"Same folder as division file"},
    {IDC_MRG_FOLDER_B, L"Specified folder"},
    {IDC_MRG_OPEN, L"Once the files have been merged, open the merged file folder."},
    {IDC_MRG_RMV, L"Delete the division files once the files have been merged."},
    {IDC_DIVREC_LABEL, L"Recovery pieces"},
    {IDC_DIVREC_HINT, L"each rebuilds one lost or damaged piece"},
};

// Another process shows a settings window: bring that one to the front and
// end this run without showing anything.
static bool ActivateOtherInstance()
{
    HANDLE other = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kMutexName);
    if (!other)
        return false;
    CloseHandle(other);
    // The window that comes forward belongs to another process; it may only
    // take the foreground when this one, just started by the user, allows it.
    AllowSetForegroundWindow(ASFW_ANY);
    SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(kActivateMessage), 0, 0,
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return true;
}

static void FillControls(HWND window)
{
    QocSetDlgItemUInt(window, IDC_DIVSIZE, g_Set.DivSize);
    QocSetDlgItemUInt(window, IDC_DIV_RADIO, g_Set.fDivDir);
    QocSetDlgItemChk(window, IDC_DIV_OPEN, g_Set.fDivOpen);
    QocSetDlgItemChk(window, IDC_DIV_RMV, g_Set.fDivRmv);
    QocSetDlgItemStrW(window, IDC_DIV_DIR, g_Set.DivDir);
    QocSetDlgItemUInt(window, IDC_DIVREC, g_Set.DivRec);
    QocSetDlgItemUInt(window, IDC_MRG_RADIO, g_Set.fMrgDir);
    QocSetDlgItemChk(window, IDC_MRG_OPEN, g_Set.fMrgOpen);
    QocSetDlgItemChk(window, IDC_MRG_RMV, g_Set.fMrgRmv);
    QocSetDlgItemStrW(window, IDC_MRG_DIR, g_Set.MrgDir);
    QocSetDlgItemStrW(window, IDC_OL_DIR, g_Set.OutlookDir);
    QocSetDlgItemStrW(window, IDC_OL_DESC, g_Set.OutlookDesc);
    QocSetDlgItemStrW(window, IDC_OL_VER, g_Set.OutlookVer);
}

static void ShowPieceMailSize(HWND window)
{
    wchar_t text[64];
    FormatPieceMailSize(text, 64, PickText(kPieceMailSize), QocGetDlgItemUInt(window, IDC_DIVSIZE));
    QocSetDlgItemStrW(window, IDC_DIVSIZE_MAIL, text);
    QocFitDlgItemText(window, IDC_DIVSIZE_MAIL);
}

static INT_PTR OnInitSetting(HWND window, UINT, WPARAM, LPARAM)
{
    g_hWndSetting = window;
    if (ActivateOtherInstance()) {
        DestroyWindow(window);
        return 1;
    }
    g_hSettingMutex = CreateMutexW(nullptr, FALSE, kMutexName);

    if (!IsJapaneseUI())
        SetWindowTextW(window, kCaption.en);
    SetEnglishTexts(window, kEnglishTexts, ARRAYSIZE(kEnglishTexts));

    QocSbcRadioBtns(GetDlgItem(window, IDC_DIV_RADIO));
    QocSbcRadioBtns(GetDlgItem(window, IDC_MRG_RADIO));
    QocEnableDlgItemToDrop(window, IDC_DIV_DIR, 1);
    QocEnableDlgItemToDrop(window, IDC_MRG_DIR, 1);
    // A folder is stored whole or not at all: the boxes take no more than
    // a path buffer holds.
    SendDlgItemMessageW(window, IDC_DIV_DIR, EM_LIMITTEXT, MAX_PATH - 1, 0);
    SendDlgItemMessageW(window, IDC_MRG_DIR, EM_LIMITTEXT, MAX_PATH - 1, 0);
    // The group box is drawn first so that it does not cover the controls
    // that lie inside it.
    SetWindowPos(GetDlgItem(window, IDC_OL_BOX), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    QocEnableDlgItemToDrop(window, IDC_OL_DIR, 1);

    g_fOutlookCheck = 0;
    FillControls(window);
    // Setting a radio group notifies like a click, which enables or disables
    // its folder box and browse button.
    QocSetDlgItemUInt(window, IDC_DIV_RADIO, g_Set.fDivDir);
    QocSetDlgItemUInt(window, IDC_MRG_RADIO, g_Set.fMrgDir);
    ShowPieceMailSize(window);
    // Every text shows whole; the window may have grown for that before it
    // is placed where it was left.
    QocFitDlgTexts(window);
    QocLoadWndPosW(window, QOC_SETTING_SECTION);
    // Box 1040 was filled above, synchronously: from here on every change
    // is the user's. A timer would leave the check disarmed for as long as
    // start-up keeps the message queue busy, and a folder dropped meanwhile
    // would be shown but neither checked nor stored.
    g_fOutlookCheck = 1;
    return 1;
}

static INT_PTR OnDestroySetting(HWND window, UINT, WPARAM, LPARAM)
{
    // A window that only handed over to another instance was never placed;
    // its position would overwrite the one the user left.
    if (g_hSettingMutex) {
        QocSaveWndPosW(window, QOC_SETTING_SECTION);
        CloseHandle(g_hSettingMutex);
        g_hSettingMutex = nullptr;
    }
    PostQuitMessage(0);
    return 1;
}

static INT_PTR OnTimerSetting(HWND window, UINT, WPARAM wParam, LPARAM)
{
    if (wParam == kCheckTimer) {
        KillTimer(window, kCheckTimer);
        g_fOutlookCheck = 1;
    }
    return 1;
}

// Another start of the settings window asks this one to come forward. The
// broadcast also reaches a window that is handing over itself; it holds no
// mutex and stays hidden.
static INT_PTR OnActivateSetting(HWND window, UINT, WPARAM, LPARAM)
{
    if (g_hSettingMutex)
        QocSetFocusWindow(window);
    return 1;
}

// Index 0 of a radio group (beside the source or the pieces) needs no folder.
static void OnRadioChanged(HWND window, WPARAM wParam, LPARAM lParam, UINT* field, int folderId,
                           int browseId)
{
    if (HIWORD(wParam) != QOC_RBN_CHANGED)
        return;
    *field = (UINT)lParam;
    QocEnableDlgItem(window, folderId, lParam != 0);
    QocEnableDlgItem(window, browseId, lParam != 0);
}

static INT_PTR OnDivRadio(HWND window, UINT, WPARAM wParam, LPARAM lParam)
{
    OnRadioChanged(window, wParam, lParam, &g_Set.fDivDir, IDC_DIV_DIR, IDC_DIV_BROWSE);
    return 1;
}

static INT_PTR OnMrgRadio(HWND window, UINT, WPARAM wParam, LPARAM lParam)
{
    OnRadioChanged(window, wParam, lParam, &g_Set.fMrgDir, IDC_MRG_DIR, IDC_MRG_BROWSE);
    return 1;
}

// Picks a folder starting at field; a chosen one goes into field and box id.
static void BrowseFolder(HWND window, WPARAM wParam, const LANG_TEXT& title, wchar_t* field, int id)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return;
    wchar_t folder[MAX_PATH];
    wcscpy_s(folder, field);
    if (QocGetFolderNameW(window, PickText(title), folder, folder, 0)) {
        wcscpy_s(field, MAX_PATH, folder);
        QocSetDlgItemStrW(window, id, field);
    }
}

static INT_PTR OnDivBrowse(HWND window, UINT, WPARAM wParam, LPARAM)
{
    BrowseFolder(window, wParam, kDivBrowseTitle, g_Set.DivDir, IDC_DIV_DIR);
    return 1;
}

static INT_PTR OnMrgBrowse(HWND window, UINT, WPARAM wParam, LPARAM)
{
    BrowseFolder(window, wParam, kMrgBrowseTitle, g_Set.MrgDir, IDC_MRG_DIR);
    return 1;
}

// The chosen folder goes into box 1040, whose notification checks it.
static INT_PTR OnOutlookBrowse(HWND window, UINT, WPARAM wParam, LPARAM)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return 1;
    wchar_t folder[MAX_PATH] = {};
    wcscpy_s(folder, g_Set.MrgDir);
    if (QocGetFolderNameW(window, PickText(kOutlookBrowseTitle), folder, folder, 0))
        QocSetDlgItemStrW(window, IDC_OL_DIR, folder);
    return 1;
}

// outlook.exe found at path: its folder and version texts become the
// effective Outlook values and are stored at once.
static void AcceptOutlook(HWND window, const wchar_t* path)
{
    g_Set.OutlookDesc[0] = L'\0';
    g_Set.OutlookVer[0] = L'\0';
    QocGetVerInfoW(path, L"FileDescription", g_Set.OutlookDesc, 260);
    QocGetVerInfoW(path, L"FileVersion", g_Set.OutlookVer, 260);

    wchar_t drive[_MAX_DRIVE], dir[MAX_PATH];
    if (_wsplitpath_s(path, drive, _MAX_DRIVE, dir, MAX_PATH, nullptr, 0, nullptr, 0) != 0 ||
        _wmakepath_s(g_Set.OutlookDir, MAX_PATH, drive, dir, nullptr, nullptr) != 0)
        g_Set.OutlookDir[0] = L'\0';
    PathRemoveBackslashW(g_Set.OutlookDir);
    StoreOutlookSettings();

    QocSetDlgItemStrW(window, IDC_OL_DIR, g_Set.OutlookDir);
    QocSetDlgItemStrW(window, IDC_OL_DESC, g_Set.OutlookDesc);
    QocSetDlgItemStrW(window, IDC_OL_VER, g_Set.OutlookVer);
    QocFitDlgItemText(window, IDC_OL_DESC);
    QocFitDlgItemText(window, IDC_OL_VER);
}

static void RejectOutlook(HWND window)
{
    QocDoEventW();
    wchar_t caption[256];
    GetWindowTextW(window, caption, 256);
    wchar_t folder[MAX_PATH];
    QocGetDlgItemStrW(window, IDC_OL_DIR, folder, MAX_PATH);
    wchar_t text[512];
    QocSnPrintFW(text, 512, PickText(kOutlookNotFound), folder);
    MessageBoxW(window, text, caption, MB_ICONERROR | MB_OK);
    QocSetDlgItemStrW(window, IDC_OL_DIR, g_Set.OutlookDir);
}

// Runs on every notification of box 1040 while armed. The flag is cleared
// before anything else: the check's own writes to the box, and the focus
// changes its error box causes, then find it clear and never stack a second
// box. The timer arms it again once the check is over.
static INT_PTR OnOutlookDirChanged(HWND window, UINT, WPARAM, LPARAM)
{
    if (!g_fOutlookCheck)
        return 1;
    g_fOutlookCheck = 0;

    wchar_t path[MAX_PATH];
    QocGetDlgItemStrW(window, IDC_OL_DIR, path, MAX_PATH);
    // A folder too long to take the name cannot hold the program either.
    if (QocPathCatW(path, L"outlook.exe", MAX_PATH) && QocPathIsFileW(path))
        AcceptOutlook(window, path);
    else
        RejectOutlook(window);
    SetTimer(window, kCheckTimer, kCheckDelayMs, nullptr);
    return 1;
}

// Typing in the number box, or setting it.
static INT_PTR OnDivSizeChanged(HWND window, UINT, WPARAM wParam, LPARAM)
{
    if (HIWORD(wParam) == EN_CHANGE)
        ShowPieceMailSize(window);
    return 1;
}

static INT_PTR OnOkSetting(HWND window, UINT, WPARAM, LPARAM)
{
    g_Set.DivSize = QocGetDlgItemUInt(window, IDC_DIVSIZE);
    g_Set.fDivDir = QocGetDlgItemUInt(window, IDC_DIV_RADIO);
    g_Set.fDivOpen = QocGetDlgItemChk(window, IDC_DIV_OPEN);
    g_Set.fDivRmv = QocGetDlgItemChk(window, IDC_DIV_RMV);
    QocGetDlgItemStrW(window, IDC_DIV_DIR, g_Set.DivDir, MAX_PATH);
    g_Set.DivRec = QocGetDlgItemUInt(window, IDC_DIVREC);
    g_Set.fMrgDir = QocGetDlgItemUInt(window, IDC_MRG_RADIO);
    g_Set.fMrgOpen = QocGetDlgItemChk(window, IDC_MRG_OPEN);
    g_Set.fMrgRmv = QocGetDlgItemChk(window, IDC_MRG_RMV);
    QocGetDlgItemStrW(window, IDC_MRG_DIR, g_Set.MrgDir, MAX_PATH);
    StoreDivMrgSettings();
    DestroyWindow(window);
    return 1;
}

// Cancel, Esc and the close box: the division and merge keys stay as they
// were.
static INT_PTR OnCancelSetting(HWND window, UINT, WPARAM, LPARAM)
{
    DestroyWindow(window);
    return 1;
}

static const QOC_MMP_ROW kSettingRows[] = {
    {QOC_MMP_MSG, WM_INITDIALOG, 0, OnInitSetting, nullptr, 0},
    {QOC_MMP_MSG, WM_DESTROY, 0, OnDestroySetting, nullptr, 0},
    {QOC_MMP_MSG, WM_TIMER, 0, OnTimerSetting, nullptr, 0},
    {QOC_MMP_MSG, 0, 0, OnActivateSetting, kActivateMessage, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_DIVSIZE, OnDivSizeChanged, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_DIV_RADIO, OnDivRadio, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_DIV_BROWSE, OnDivBrowse, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_MRG_RADIO, OnMrgRadio, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_MRG_BROWSE, OnMrgBrowse, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_OL_BROWSE, OnOutlookBrowse, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_OL_DIR, OnOutlookDirChanged, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDCANCEL, OnCancelSetting, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDOK, OnOkSetting, nullptr, 0},
    {QOC_MMP_END, 0, 0, nullptr, nullptr, 0},
};
static DLG_MAP g_settingMap = {kSettingRows, 1, {}};

INT_PTR CALLBACK SettingDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunDialogMap(g_settingMap, window, message, wParam, lParam);
}

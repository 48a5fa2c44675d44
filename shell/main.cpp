// Sundrel.exe: one window per run, chosen by the first argument.
#include <windows.h>
#include <shlwapi.h>
#include <wchar.h>

#include "app.h"
#include "dialog_map.h"
#include "piece_paths.h"
#include "qoc.h"
#include "resource.h"
#include "settings_record.h"

// The long form of the first argument, or the argument itself when it has
// none that fits. An argument that does not fit the path buffer is not used
// at all: a cut path could name another file. The divide window then
// reports a missing file. Nothing longer reaches GetLongPathNameW either:
// Wine's crashes on an argument of 2,000 characters.
static void SetCommandFile(const wchar_t* arg)
{
    g_szCmdFile[0] = L'\0';
    size_t len = wcsnlen(arg, MAX_PATH);
    if (len >= MAX_PATH)
        return;
    DWORD longLen = GetLongPathNameW(arg, g_szCmdFile, MAX_PATH);
    if (longLen == 0 || longLen >= MAX_PATH)
        wmemcpy(g_szCmdFile, arg, len + 1);
}

// %TEMP%\Sundrel, created if missing: the default folder for pieces and
// merged files.
static void MakeTempFolder(wchar_t* folder)
{
    if (GetTempPathW(MAX_PATH, folder) == 0 || !QocPathCatW(folder, L"Sundrel", MAX_PATH))
        folder[0] = L'\0';
    CreateDirectoryW(folder, nullptr);
    PathRemoveBackslashW(folder);
}

static HWND CreateMainWindow(const wchar_t* cmdLine)
{
    int count = 0;
    wchar_t** args = QocParseCmdArgsExW(cmdLine, &count, 1);
    HWND window;
    if (!args || count == 0) {
        window = CreateDialogParamW(g_hInst, MAKEINTRESOURCEW(IDD_SETTING), nullptr, SettingDlgProc, 0);
    } else {
        SetCommandFile(args[0]);
        if (IsPiecePath(g_szCmdFile))
            window = CreateDialogParamW(g_hInst, MAKEINTRESOURCEW(IDD_MERGE), nullptr, MergeDlgProc, 0);
        else
            window = CreateDialogParamW(g_hInst, MAKEINTRESOURCEW(IDD_DIVIDE), nullptr, DivideDlgProc, 0);
    }
    if (args)
        QocReleaseCmdArgs(args);
    return window;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR cmdLine, int)
{
    g_hInst = instance;
    QocSetRegTopKey(HKEY_LOCAL_MACHINE);
    LoadMachineOutlook();
    QocSetRegTopKey(HKEY_CURRENT_USER);
    QocDgcSetup();
    // Not shared, so that it may be released after the loop.
    g_hIcon = (HICON)LoadImageW(instance, MAKEINTRESOURCEW(IDI_SUNDREL), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);

    wchar_t tempFolder[MAX_PATH];
    MakeTempFolder(tempFolder);
    LoadSettings(tempFolder);

    g_hWndMain = CreateMainWindow(cmdLine);
    MSG msg = {};
    // No window: the settings window found another one open and destroyed
    // itself, or the template could not be made. Either way the run is over.
    if (g_hWndMain) {
        ShowWindow(g_hWndMain, SW_SHOW);
        QocMmpSetSubclass(g_hWndMain, kDlgSubName, DlgSubProc);
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageW(g_hWndMain, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    DestroyIcon(g_hIcon);
    return (int)msg.wParam;
}

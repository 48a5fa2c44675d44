#include "context_menu.h"

#include <shellapi.h>

#include "app.h"
#include "lang.h"
#include "qoc.h"
#include "resource.h"

static const LANG_TEXT kMenuDocument = {L"Show Document", L"説明書表示"};
static const LANG_TEXT kMenuVersion = {L"Version", L"バージョン"};
static const LANG_TEXT kVersionDescription = {L"Sundrel / integrate", L"ファイル分割／統合"};
static const LANG_TEXT kVersionTitle = {L"Version information", L"バージョン情報"};

static void OpenManual()
{
    wchar_t path[MAX_PATH] = L"";
    QocGetAppPathW(path, MAX_PATH);
    if (!QocPathCatW(path, L"Sundrel.pdf", MAX_PATH))
        return;
    ShellExecuteW(nullptr, nullptr, path, L"", L"", SW_SHOW);
}

static void ShowVersion(HWND window)
{
    wchar_t version[128] = L"";
    QocGetVerInResW(g_hInst, version, 128);
    QocQorAppVersionDialogExW(window, version, g_hIcon, 2024, PickText(kVersionDescription),
                              PickText(kVersionTitle), L"Velmora", 2);
}

INT_PTR OnContextMenu(HWND window, UINT, WPARAM, LPARAM)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return 0;
    AppendMenuW(menu, MF_STRING, IDM_DOCUMENT, PickText(kMenuDocument));
    AppendMenuW(menu, MF_STRING, IDM_VERSION, PickText(kMenuVersion));
    POINT at;
    GetCursorPos(&at);
    int chosen = QocDgcTrackPopupMenuEx(menu, TPM_RETURNCMD, at.x, at.y, window, nullptr);
    DestroyMenu(menu);
    if (chosen == IDM_DOCUMENT)
        OpenManual();
    else if (chosen == IDM_VERSION)
        ShowVersion(window);
    return 0;
}

#include "op_window.h"

#include <stdlib.h>

#include "app.h"
#include "qoc.h"
#include "resource.h"

INT_PTR OnStopCommand(HWND window, UINT, WPARAM, LPARAM)
{
    PostMessageW(window, WM_COMMAND, IDCANCEL, (LPARAM)GetDlgItem(window, IDCANCEL));
    return 1;
}

INT_PTR OnCancelCommand(HWND window, UINT, WPARAM, LPARAM)
{
    if (g_fOpRunning)
        g_fCancelReq = 1;
    else
        DestroyWindow(window);
    return 1;
}

void PlaceWindowAtCursor(HWND window)
{
    POINT at;
    GetCursorPos(&at);
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    QocMoveWndIntoMonitor(window);
}

void ShowCommandFileName(HWND window, int id)
{
    wchar_t name[MAX_PATH], ext[MAX_PATH], shown[MAX_PATH];
    if (_wsplitpath_s(g_szCmdFile, nullptr, 0, nullptr, 0, name, MAX_PATH, ext, MAX_PATH) != 0 ||
        _wmakepath_s(shown, MAX_PATH, nullptr, nullptr, name, ext) != 0)
        shown[0] = L'\0';
    QocSetDlgItemStrW(window, id, shown);
}

void BeginOperation(HWND window)
{
    g_fCancelReq = 0;
    g_fOpRunning = 1;
    QocEnableDlgItem(window, IDC_STOP, 1);
    QocSetDlgItemPgsPos(window, IDC_PROGRESS, 0);
    QocShowDlgItem(window, IDC_PROGRESS, 1);
}

void EndOperation(HWND window)
{
    QocEnableDlgItem(window, IDC_STOP, 0);
    g_fOpRunning = 0;
    DestroyWindow(window);
}

static const ULONGLONG kProgressIntervalMs = 250;

bool OperationObserver::BeforeBlock()
{
    if (g_fCancelReq)
        return false;
    QocDoEventW();
    return !g_fCancelReq;
}

void OperationObserver::AfterBlock(size_t pieceBytes)
{
    // The divide sees only blocks, each with its FCS.
    done_ += dataOnly_ ? pieceBytes - sundrel::kFcsSize : pieceBytes;
    uint64_t percent = total_ ? done_ * 100 / total_ : 100;
    if (percent > 100)
        percent = 100;   // a piece that grew while being read
    if (percent == percent_)
        return;
    ULONGLONG now = GetTickCount64();
    if (now - shownAt_ < kProgressIntervalMs && percent < 100)
        return;
    percent_ = percent;
    shownAt_ = now;
    QocSetDlgItemPgsPos(window_, IDC_PROGRESS, (int)percent);
}

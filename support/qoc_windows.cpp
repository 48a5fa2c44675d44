// Whole windows: start-up, enhancements, menus, the message pump while an
// operation runs, bringing to the front, placing, and the folder picker.
#include "qoc_ctrl.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <stdlib.h>
#include <wchar.h>

int (*g_QocFolderPicker)(HWND owner, const wchar_t* title, const wchar_t* start,
                         wchar_t* out, int flags) = nullptr;

static LRESULT CALLBACK DialogRecordProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data)
{
    if (message == WM_NCDESTROY) {
        auto* rec = reinterpret_cast<DialogRecord*>(data);
        RemoveWindowSubclass(dialog, DialogRecordProc, id);
        RemovePropW(dialog, QOC_PROP_DIALOG);
        free(rec->section);
        free(rec);
    }
    return DefSubclassProc(dialog, message, wParam, lParam);
}

DialogRecord* GetDialogRecord(HWND dialog, BOOL create)
{
    auto* rec = static_cast<DialogRecord*>(GetPropW(dialog, QOC_PROP_DIALOG));
    if (rec || !create || !IsWindow(dialog)) return rec;
    rec = static_cast<DialogRecord*>(calloc(1, sizeof(DialogRecord)));
    if (rec && !SetPropW(dialog, QOC_PROP_DIALOG, rec)) {
        free(rec);
        return nullptr;
    }
    if (rec) SetWindowSubclass(dialog, DialogRecordProc, 0, reinterpret_cast<DWORD_PTR>(rec));
    return rec;
}

BOOL QocDgcSetup(void)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    BOOL ok = InitCommonControlsEx(&icc);
    return RegisterInpValClass() && ok;
}

BOOL QocDgcSubclassEx(HWND dialog, DWORD mask)
{
    if (!IsWindow(dialog)) return FALSE;
    if (mask & 1) {
        for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
            wchar_t cls[16];
            if (GetClassNameW(w, cls, 16) && lstrcmpiW(cls, WC_EDITW) == 0 &&
                (GetWindowLongW(w, GWL_STYLE) & ES_READONLY))
                AttachFullTextTip(w, TRUE);
        }
    }
    return TRUE;
}

int QocDgcTrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND window, LPTPMPARAMS params)
{
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(window);
    int result = static_cast<int>(TrackPopupMenuEx(menu, flags, x, y, window, params));
    PostMessageW(window, WM_NULL, 0, 0);
    return result;
}

static BOOL IsDialogWindow(HWND window)
{
    return GetClassLongW(window, GCW_ATOM) == static_cast<DWORD>(reinterpret_cast<UINT_PTR>(WC_DIALOG));
}

void QocDoEventW(void)
{
    // Called before every block of a division: under Wine each look at the
    // queue is a server round trip and a look at the X display, half a
    // millisecond and more while the disk's write-back wants the processors,
    // so look at most every 50 ms, which still answers Stop, Esc and
    // repainting at once to the eye.
    enum { LOOK_INTERVAL_MS = 50, MAX_MESSAGES = 256 };
    static ULONGLONG s_lastLook;
    ULONGLONG now = GetTickCount64();
    if (s_lastLook != 0 && now - s_lastLook < LOOK_INTERVAL_MS) return;
    MSG msg;
    // Bounded, so that messages that keep posting each other cannot hold the
    // caller. PM_NOYIELD: the empty queue at the end of every look would
    // otherwise give the processor away, which the caller's work wants.
    for (int n = 0; n < MAX_MESSAGES && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD);
         ++n) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));   // for the caller's message loop
            break;
        }
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogWindow(root) && IsDialogMessageW(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    s_lastLook = GetTickCount64();
}

BOOL QocSetFocusWindow(HWND window)
{
    if (!IsWindow(window)) return FALSE;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    if (SetForegroundWindow(window)) return TRUE;
    // Another program holds the foreground: share its input state for a moment.
    HWND front = GetForegroundWindow();
    DWORD frontThread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
    DWORD ownThread = GetCurrentThreadId();
    BOOL attached = frontThread && frontThread != ownThread &&
                    AttachThreadInput(ownThread, frontThread, TRUE);
    BringWindowToTop(window);
    BOOL ok = SetForegroundWindow(window);
    if (attached) AttachThreadInput(ownThread, frontThread, FALSE);
    return ok;
}

// Shift of [low, high) that brings it into [areaLow, areaHigh); the start
// wins when it is larger than the area.
static LONG ShiftInto(LONG low, LONG high, LONG areaLow, LONG areaHigh)
{
    LONG shift = 0;
    if (high > areaHigh) shift = areaHigh - high;
    if (low + shift < areaLow) shift = areaLow - low;
    return shift;
}

BOOL QocMoveWndIntoMonitor(HWND window)
{
    RECT rc;
    if (!GetWindowRect(window, &rc)) return FALSE;
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &mi)) return FALSE;
    LONG dx = ShiftInto(rc.left, rc.right, mi.rcWork.left, mi.rcWork.right);
    LONG dy = ShiftInto(rc.top, rc.bottom, mi.rcWork.top, mi.rcWork.bottom);
    if (dx == 0 && dy == 0) return TRUE;
    return SetWindowPos(window, nullptr, rc.left + dx, rc.top + dy, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static int CALLBACK BrowseCallback(HWND picker, UINT message, LPARAM, LPARAM start)
{
    if (message == BFFM_INITIALIZED && start && *reinterpret_cast<const wchar_t*>(start))
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

int QocGetFolderNameW(HWND owner, const wchar_t* title, const wchar_t* start,
                      wchar_t* out, int flags)
{
    if (!out) return 0;
    if (g_QocFolderPicker) return g_QocFolderPicker(owner, title, start, out, flags);
    wchar_t startCopy[MAX_PATH] = L"";   // out may be the same buffer as start
    if (start) lstrcpynW(startCopy, start, MAX_PATH);
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BROWSEINFOW bi = {};
    bi.hwndOwner = owner;
    bi.lpszTitle = title;
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(startCopy);
    int chosen = 0;
    if (PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&bi)) {
        wchar_t path[MAX_PATH];
        if (SHGetPathFromIDListW(list, path)) {
            lstrcpynW(out, path, MAX_PATH);
            chosen = 1;
        }
        CoTaskMemFree(list);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

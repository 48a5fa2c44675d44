// Controls that take the path of a file or folder dropped on them.
#include "qoc_ctrl.h"

#include <commctrl.h>
#include <shellapi.h>

// Setting the text makes an edit box notify its dialog (EN_CHANGE).
static LRESULT CALLBACK DropProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR id, DWORD_PTR)
{
    if (message == WM_DROPFILES) {
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        wchar_t path[MAX_PATH];
        // A path too long for a path buffer is not cut into another path.
        if (DragQueryFileW(drop, 0, nullptr, 0) < MAX_PATH && DragQueryFileW(drop, 0, path, MAX_PATH))
            SetWindowTextW(control, path);
        DragFinish(drop);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(control, DropProc, id);
    return DefSubclassProc(control, message, wParam, lParam);
}

BOOL QocEnableDlgItemToDrop(HWND dialog, int id, int enable)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    DragAcceptFiles(control, enable != 0);
    if (enable) return SetWindowSubclass(control, DropProc, 0, 0);
    RemoveWindowSubclass(control, DropProc, 0);
    return TRUE;
}

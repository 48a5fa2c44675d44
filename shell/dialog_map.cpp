#include "dialog_map.h"

#include "context_menu.h"

const wchar_t* const kDlgSubName = L"DlgSub";

// Every enhancement the support layer offers to a dialog's children.
static const DWORD kAllEnhancements = 0xFFFFFF;

INT_PTR RunDialogMap(DLG_MAP& map, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (map.firstUse) {
        map.firstUse = 0;
        QocMmpInitTblW(map.rows, &map.rec);
    }
    INT_PTR result = QocMmpDlgMsgHandle(&map.rec, window, message, wParam, lParam);
    if (message == WM_INITDIALOG && IsWindow(window))
        QocDgcSubclassEx(window, kAllEnhancements);
    return result;
}

static const QOC_MMP_ROW kSubclassRows[] = {
    {QOC_MMP_MSG, WM_RBUTTONDOWN, 0, OnContextMenu, nullptr, 0},
    {QOC_MMP_END, 0, 0, nullptr, nullptr, 0},
};
static DLG_MAP g_subclassMap = {kSubclassRows, 1, {}};

LRESULT CALLBACK DlgSubProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_subclassMap.firstUse) {
        g_subclassMap.firstUse = 0;
        QocMmpInitTblW(g_subclassMap.rows, &g_subclassMap.rec);
    }
    LRESULT result = QocMmpWndMsgHandle(&g_subclassMap.rec, window, message, wParam, lParam,
                                        DlgSubProc, kDlgSubName);
    if (message == WM_CREATE)
        QocDgcSubclassEx(window, kAllEnhancements);
    else if (message == WM_DESTROY)
        QocMmpDelSubclass(window, kDlgSubName);
    return result;
}

// Binds a window procedure to its message map.
#pragma once

#include "qoc.h"

struct DLG_MAP {
    const QOC_MMP_ROW* rows;
    int firstUse;          // set until the map is compiled on the first message
    QOC_MMP_REC rec;
};

// The body of every dialog procedure: compiles the map on the first message,
// runs the matching handler and, after WM_INITDIALOG, adds the support
// layer's enhancements.
INT_PTR RunDialogMap(DLG_MAP& map, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Subclass of the main window ("DlgSub"): the context menu on a right click.
LRESULT CALLBACK DlgSubProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
extern const wchar_t* const kDlgSubName;

// Message maps: tables of rows that bind messages and commands to handlers.
#include "qoc.h"

BOOL QocMmpInitTblW(const QOC_MMP_ROW* rows, QOC_MMP_REC* rec)
{
    if (!rows || !rec) return FALSE;
    if (rec->rows == rows && rec->count > 0) return TRUE;   // compiled already
    int count = 0;
    while (rows[count].kind != QOC_MMP_END) {
        if (count == QOC_MMP_MAX_ROWS) return FALSE;
        ++count;
    }
    for (int i = 0; i < count; ++i) {
        const QOC_MMP_ROW& row = rows[i];
        if (row.kind == QOC_MMP_CMD)
            rec->message[i] = WM_COMMAND;
        else if (row.regName)
            rec->message[i] = RegisterWindowMessageW(row.regName);   // 0 when it fails
        else
            rec->message[i] = row.message;
    }
    rec->rows = rows;
    rec->count = count;
    return TRUE;
}

// The first row, in table order, that takes the message; or null.
static const QOC_MMP_ROW* FindRow(const QOC_MMP_REC* rec, UINT message, WPARAM wParam)
{
    if (!rec || !rec->rows) return nullptr;
    for (int i = 0; i < rec->count; ++i) {
        const QOC_MMP_ROW& row = rec->rows[i];
        // A name that could not be registered leaves 0, which must not catch WM_NULL.
        if (rec->message[i] == 0 || rec->message[i] != message || !row.handler) continue;
        if (row.kind == QOC_MMP_CMD && LOWORD(wParam) != row.id) continue;
        return &row;
    }
    return nullptr;
}

INT_PTR QocMmpDlgMsgHandle(QOC_MMP_REC* rec, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const QOC_MMP_ROW* row = FindRow(rec, message, wParam);
    return row ? row->handler(window, message, wParam, lParam) : 0;
}

BOOL QocMmpSetSubclass(HWND window, const wchar_t* name, WNDPROC proc)
{
    if (!IsWindow(window) || !name || !proc) return FALSE;
    if (GetPropW(window, name)) return FALSE;   // a second one would call itself
    LONG_PTR old = GetWindowLongPtrW(window, GWLP_WNDPROC);
    if (!old || !SetPropW(window, name, reinterpret_cast<HANDLE>(old))) return FALSE;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return TRUE;
}

LRESULT QocMmpWndMsgHandle(QOC_MMP_REC* rec, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam, WNDPROC proc, const wchar_t* name)
{
    const QOC_MMP_ROW* row = FindRow(rec, message, wParam);
    if (row) return row->handler(window, message, wParam, lParam);
    WNDPROC old = reinterpret_cast<WNDPROC>(GetPropW(window, name));
    if (old && old != proc) return CallWindowProcW(old, window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

BOOL QocMmpDelSubclass(HWND window, const wchar_t* name)
{
    if (!name) return FALSE;
    HANDLE old = GetPropW(window, name);
    if (!old) return FALSE;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropW(window, name);
    return TRUE;
}

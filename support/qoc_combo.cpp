// History combo boxes: the newest entry first, each text once, a bounded
// list, and a "▲" mark at the left whose right-click menu removes an entry.
#include "qoc_ctrl.h"

#include <commctrl.h>
#include <limits.h>
#include <stdlib.h>
#include <wchar.h>

static const wchar_t MARK[] = L"\u25B2";
enum { MARK_PADDING = 4, MENU_LABEL_CHARS = 64 };

struct HistoryCombo {
    int maxItems;
    int maxLen;
    int markWidth;   // left margin of the edit field that holds the mark
    BOOL longTip;
};

wchar_t* ComboEntryText(HWND combo, int index)
{
    LRESULT len = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len == CB_ERR) return nullptr;
    auto* text = static_cast<wchar_t*>(calloc(static_cast<size_t>(len) + 1, sizeof(wchar_t)));
    if (text && SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(text)) == CB_ERR)
        text[0] = L'\0';
    return text;
}

HWND QocSbcGetEditCtrlInComboBox(HWND combo)
{
    return combo ? FindWindowExW(combo, nullptr, WC_EDITW, nullptr) : nullptr;
}

// A menu item for an entry: "&" doubled so it shows, tabs as spaces, long
// texts cut with an ellipsis.
static void MenuLabel(const wchar_t* text, wchar_t* out, size_t size)
{
    size_t n = 0, shown = 0;
    for (const wchar_t* p = text; *p && n + 3 < size; ++p, ++shown) {
        if (shown == MENU_LABEL_CHARS) {
            out[n++] = L'\u2026';
            break;
        }
        if (*p == L'&') out[n++] = L'&';
        out[n++] = *p == L'\t' ? L' ' : *p;
    }
    out[n] = L'\0';
}

static void ShowRemoveMenu(HWND combo, HWND edit, int x, int y)
{
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    if (count <= 0) return;
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    for (int i = 0; i < count; ++i) {
        wchar_t* text = ComboEntryText(combo, i);
        wchar_t label[2 * MENU_LABEL_CHARS + 4];
        MenuLabel(text ? text : L"", label, sizeof label / sizeof label[0]);
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(i) + 1, label);
        free(text);
    }
    int chosen = QocDgcTrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                                        x, y, edit, nullptr);
    DestroyMenu(menu);
    if (chosen > 0) SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(chosen - 1), 0);
}

static void ApplyMark(HWND edit, HistoryCombo* rec)
{
    HDC dc = GetDC(edit);
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(edit, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, MARK, 1, &size);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    rec->markWidth = size.cx + MARK_PADDING;
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELONG(rec->markWidth, 0));
    InvalidateRect(edit, nullptr, TRUE);
}

static void DrawMark(HWND edit, const HistoryCombo* rec)
{
    HDC dc = GetDC(edit);
    if (!dc) return;
    RECT rc;
    GetClientRect(edit, &rc);
    rc.right = rc.left + rec->markWidth;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(edit, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(edit) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    DrawTextW(dc, MARK, 1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
}

static BOOL PointOnMark(HWND edit, const HistoryCombo* rec, POINT screen)
{
    ScreenToClient(edit, &screen);
    RECT rc;
    GetClientRect(edit, &rc);
    return screen.x >= 0 && screen.x < rec->markWidth && screen.y >= 0 && screen.y < rc.bottom;
}

static LRESULT CALLBACK MarkEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data)
{
    auto* rec = reinterpret_cast<HistoryCombo*>(data);
    switch (message) {
    case WM_SETFONT: {   // the edit resets its margins to the font's
        LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        ApplyMark(edit, rec);
        return result;
    }
    case WM_PAINT:
    case WM_ENABLE: {
        LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        DrawMark(edit, rec);
        return result;
    }
    case WM_SETCURSOR: {
        POINT pt;
        if (LOWORD(lParam) == HTCLIENT && GetCursorPos(&pt) && PointOnMark(edit, rec, pt)) {
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
            return TRUE;
        }
        break;
    }
    case WM_CONTEXTMENU: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (lParam != -1 && PointOnMark(edit, rec, pt)) {
            ShowRemoveMenu(GetParent(edit), edit, pt.x, pt.y);
            return 0;
        }
        break;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, MarkEditProc, id);
        break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

// Owns the record; the edit field, a child, is gone before the combo's WM_NCDESTROY.
static LRESULT CALLBACK HistoryComboProc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(combo, HistoryComboProc, id);
        RemovePropW(combo, QOC_PROP_HISTORY);
        free(reinterpret_cast<HistoryCombo*>(data));
    }
    return DefSubclassProc(combo, message, wParam, lParam);
}

static HistoryCombo* HistoryRecord(HWND combo)
{
    return static_cast<HistoryCombo*>(GetPropW(combo, QOC_PROP_HISTORY));
}

BOOL HistoryComboLimits(HWND combo, int* maxItems, int* maxLen)
{
    const HistoryCombo* rec = HistoryRecord(combo);
    if (!rec) return FALSE;
    *maxItems = rec->maxItems;
    *maxLen = rec->maxLen;
    return TRUE;
}

static void TrimList(HWND combo, int maxItems)
{
    int count;
    while ((count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0))) > maxItems)
        SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(count - 1), 0);
}

BOOL QocSbcComboBoxW(HWND combo, int maxItems, int maxLen)
{
    if (!IsWindow(combo) || maxItems <= 0 || maxLen <= 0) return FALSE;
    HistoryCombo* rec = HistoryRecord(combo);
    if (!rec) {
        rec = static_cast<HistoryCombo*>(calloc(1, sizeof(HistoryCombo)));
        if (!rec) return FALSE;
        if (!SetPropW(combo, QOC_PROP_HISTORY, rec)) {
            free(rec);
            return FALSE;
        }
        SetWindowSubclass(combo, HistoryComboProc, 0, reinterpret_cast<DWORD_PTR>(rec));
        if (HWND edit = QocSbcGetEditCtrlInComboBox(combo)) {
            SetWindowSubclass(edit, MarkEditProc, 0, reinterpret_cast<DWORD_PTR>(rec));
            ApplyMark(edit, rec);
        }
    }
    rec->maxItems = maxItems;
    rec->maxLen = maxLen;
    SendMessageW(combo, CB_LIMITTEXT, static_cast<WPARAM>(maxLen), 0);
    TrimList(combo, maxItems);
    return TRUE;
}

BOOL QocSbcSetMostNew(HWND combo)
{
    int maxItems = INT_MAX, maxLen = 0;
    HistoryComboLimits(combo, &maxItems, &maxLen);
    wchar_t* newest = ComboEntryText(combo, 0);
    if (!newest) return FALSE;
    if (!newest[0]) {
        SendMessageW(combo, CB_DELETESTRING, 0, 0);
        free(newest);
        return TRUE;
    }
    if (maxLen > 0 && wcslen(newest) > static_cast<size_t>(maxLen)) {
        newest[maxLen] = L'\0';
        SendMessageW(combo, CB_DELETESTRING, 0, 0);
        SendMessageW(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(newest));
    }
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = count - 1; i >= 1; --i) {
        wchar_t* text = ComboEntryText(combo, i);
        if (text && wcscmp(text, newest) == 0) SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
        free(text);
    }
    free(newest);
    TrimList(combo, maxItems);
    return TRUE;
}

BOOL QocSbcTipCtrl(HWND combo, int enable)
{
    HWND edit = QocSbcGetEditCtrlInComboBox(combo);
    if (!edit) return FALSE;
    if (!enable) {
        DetachFullTextTip(edit);
        return TRUE;
    }
    const HistoryCombo* rec = HistoryRecord(combo);
    return AttachFullTextTip(edit, rec && rec->longTip);
}

BOOL QocSbcEnableLongTip(HWND combo, int enable)
{
    HistoryCombo* rec = HistoryRecord(combo);
    if (!rec) return FALSE;
    rec->longTip = enable != 0;
    if (HWND edit = QocSbcGetEditCtrlInComboBox(combo)) SetFullTextTipWrap(edit, rec->longTip);
    return TRUE;
}

// Tooltips: fixed texts on controls, and the full text of edit fields that
// are too narrow for it.
#include "qoc_ctrl.h"

#include <commctrl.h>
#include <stdlib.h>

enum { TIP_WIDTH = 480, TIP_SHOW_MS = 30000 };

static HWND CreateTip(HWND owner, BOOL wrap)
{
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tip) return nullptr;
    // A maximum width also makes the tooltip honour line breaks.
    if (wrap) SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, TIP_WIDTH);
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, TIP_SHOW_MS);
    return tip;
}

static TOOLINFOW WindowTool(HWND owner, HWND control, wchar_t* text)
{
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;   // also understood by older common controls
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = owner;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = text;
    return ti;
}

BOOL QocTipTextAddW(HWND control, const wchar_t* text)
{
    HWND dialog = GetAncestor(control, GA_ROOT);
    if (!dialog || !text) return FALSE;
    DialogRecord* rec = GetDialogRecord(dialog, TRUE);
    if (!rec) return FALSE;
    if (!rec->tips && !(rec->tips = CreateTip(dialog, TRUE))) return FALSE;
    TOOLINFOW ti = WindowTool(dialog, control, const_cast<wchar_t*>(text));
    SendMessageW(rec->tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));   // a second call replaces
    return static_cast<BOOL>(SendMessageW(rec->tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
}

struct FullTextTip {
    HWND tip;
    wchar_t* text;   // what the tooltip shows; grows with the edit's text
    size_t capacity;
};

static BOOL TextIsCut(HWND edit, const wchar_t* text, int len)
{
    RECT format;
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    HDC dc = GetDC(edit);
    if (!dc) return FALSE;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(edit, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, len, &size);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    return size.cx > format.right - format.left;
}

static void FillDispInfo(HWND edit, FullTextTip* rec, NMTTDISPINFOW* info)
{
    info->lpszText = const_cast<wchar_t*>(L"");
    int len = GetWindowTextLengthW(edit);
    if (len <= 0) return;
    size_t need = static_cast<size_t>(len) + 1;
    if (need > rec->capacity) {
        wchar_t* grown = static_cast<wchar_t*>(realloc(rec->text, need * sizeof(wchar_t)));
        if (!grown) return;
        rec->text = grown;
        rec->capacity = need;
    }
    len = GetWindowTextW(edit, rec->text, static_cast<int>(rec->capacity));
    if (TextIsCut(edit, rec->text, len)) info->lpszText = rec->text;   // empty text: no tooltip
}

static LRESULT CALLBACK FullTextTipProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data)
{
    auto* rec = reinterpret_cast<FullTextTip*>(data);
    if (message == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->hwndFrom == rec->tip && hdr->code == TTN_GETDISPINFOW) {
            FillDispInfo(edit, rec, reinterpret_cast<NMTTDISPINFOW*>(lParam));
            return 0;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, FullTextTipProc, id);
        RemovePropW(edit, QOC_PROP_FULL_TIP);
        if (IsWindow(rec->tip)) DestroyWindow(rec->tip);   // the owner may have taken it already
        free(rec->text);
        free(rec);
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

BOOL SetFullTextTipWrap(HWND edit, BOOL wrap)
{
    auto* rec = static_cast<FullTextTip*>(GetPropW(edit, QOC_PROP_FULL_TIP));
    if (!rec) return FALSE;
    SendMessageW(rec->tip, TTM_SETMAXTIPWIDTH, 0, wrap ? TIP_WIDTH : -1);
    return TRUE;
}

BOOL AttachFullTextTip(HWND edit, BOOL wrap)
{
    if (!IsWindow(edit)) return FALSE;
    if (SetFullTextTipWrap(edit, wrap)) return TRUE;
    auto* rec = static_cast<FullTextTip*>(calloc(1, sizeof(FullTextTip)));
    if (!rec) return FALSE;
    rec->tip = CreateTip(GetAncestor(edit, GA_ROOT), wrap);
    if (!rec->tip || !SetPropW(edit, QOC_PROP_FULL_TIP, rec)) {
        if (rec->tip) DestroyWindow(rec->tip);
        free(rec);
        return FALSE;
    }
    SetWindowSubclass(edit, FullTextTipProc, 0, reinterpret_cast<DWORD_PTR>(rec));
    TOOLINFOW ti = WindowTool(edit, edit, LPSTR_TEXTCALLBACKW);
    SendMessageW(rec->tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    return TRUE;
}

void DetachFullTextTip(HWND edit)
{
    auto* rec = static_cast<FullTextTip*>(GetPropW(edit, QOC_PROP_FULL_TIP));
    if (!rec) return;
    RemoveWindowSubclass(edit, FullTextTipProc, 0);
    RemovePropW(edit, QOC_PROP_FULL_TIP);
    DestroyWindow(rec->tip);
    free(rec->text);
    free(rec);
}

// The number box QocCtrlInpVal: an edit box that holds only whole numbers
// within the range named by its creation text "I: L=<min>, R=<max>".
#include "qoc_ctrl.h"

#include <commctrl.h>
#include <wchar.h>

static const wchar_t INPVAL_CLASS[] = L"QocCtrlInpVal";
static WNDPROC s_editProc;
static int s_editExtra;   // the edit's own window bytes come first

enum { SLOT_MIN, SLOT_MAX, SLOT_LAST, SLOT_COUNT };

static UINT GetSlot(HWND box, int slot)
{
    return static_cast<UINT>(GetWindowLongPtrW(box, s_editExtra + slot * static_cast<int>(sizeof(LONG_PTR))));
}

static void SetSlot(HWND box, int slot, UINT value)
{
    SetWindowLongPtrW(box, s_editExtra + slot * static_cast<int>(sizeof(LONG_PTR)), static_cast<LONG_PTR>(value));
}

// Value of a text of digits only; FALSE for anything else. Too large
// values come out as UINT_MAX, which the range then cuts.
static BOOL ParseNumber(const wchar_t* text, UINT* value)
{
    if (!text || !*text) return FALSE;
    unsigned long long v = 0;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p < L'0' || *p > L'9') return FALSE;
        if (v <= UINT_MAX) v = v * 10 + static_cast<unsigned>(*p - L'0');
    }
    *value = v > UINT_MAX ? UINT_MAX : static_cast<UINT>(v);
    return TRUE;
}

// Leading digits after key in text; def when there are none.
static UINT SetupValue(const wchar_t* text, const wchar_t* key, UINT def)
{
    const wchar_t* at = wcsstr(text, key);
    if (!at) return def;
    at += wcslen(key);
    while (*at == L' ') ++at;
    wchar_t digits[12] = {};
    for (int n = 0; n < 11 && *at >= L'0' && *at <= L'9'; ++n) digits[n] = *at++;
    UINT value;
    return ParseNumber(digits, &value) ? value : def;
}

static UINT Clamp(HWND box, UINT value)
{
    UINT low = GetSlot(box, SLOT_MIN), high = GetSlot(box, SLOT_MAX);
    return value < low ? low : value > high ? high : value;
}

// The value the box shows when it is a number in range.
static BOOL ShownValue(HWND box, UINT* value)
{
    wchar_t text[16];
    if (GetWindowTextLengthW(box) >= 16) return FALSE;
    GetWindowTextW(box, text, 16);
    return ParseNumber(text, value) && Clamp(box, *value) == *value;
}

static void FormatNumber(wchar_t (&text)[16], UINT value)
{
    _snwprintf(text, 16, L"%u", value);
    text[15] = L'\0';
}

static void ShowValue(HWND box, UINT value)
{
    wchar_t text[16];
    FormatNumber(text, value);
    SetWindowTextW(box, text);
}

static LRESULT CALLBACK InpValProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        const wchar_t* setup = cs->lpszName && !IS_INTRESOURCE(cs->lpszName) ? cs->lpszName : L"";
        UINT low = SetupValue(setup, L"L=", 0), high = SetupValue(setup, L"R=", UINT_MAX);
        if (high < low) high = low;
        SetSlot(box, SLOT_MIN, low);
        SetSlot(box, SLOT_MAX, high);
        SetSlot(box, SLOT_LAST, low);
        // Templates name only the class; the box still looks like an edit box.
        cs->dwExStyle |= WS_EX_CLIENTEDGE;
        SetWindowLongPtrW(box, GWL_EXSTYLE, static_cast<LONG_PTR>(cs->dwExStyle));
        break;
    }
    case WM_CREATE: {
        LRESULT result = CallWindowProcW(s_editProc, box, message, wParam, lParam);
        if (result != -1) ShowValue(box, GetSlot(box, SLOT_MIN));   // replaces the setup text
        return result;
    }
    case WM_SETTEXT: {
        UINT value;
        if (!ParseNumber(reinterpret_cast<const wchar_t*>(lParam), &value)) return FALSE;
        value = Clamp(box, value);
        SetSlot(box, SLOT_LAST, value);
        wchar_t text[16];
        FormatNumber(text, value);
        return CallWindowProcW(s_editProc, box, message, wParam, reinterpret_cast<LPARAM>(text));
    }
    case WM_CHAR:
        if (wParam >= L' ' && (wParam < L'0' || wParam > L'9')) return 0;   // digits and control keys
        break;
    case WM_KILLFOCUS: {
        LRESULT result = CallWindowProcW(s_editProc, box, message, wParam, lParam);
        UINT value;
        if (ShownValue(box, &value)) SetSlot(box, SLOT_LAST, value);
        else ShowValue(box, GetSlot(box, SLOT_LAST));
        return result;
    }
    }
    return CallWindowProcW(s_editProc, box, message, wParam, lParam);
}

BOOL RegisterInpValClass(void)
{
    if (s_editProc) return TRUE;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, WC_EDITW, &wc)) return FALSE;
    WNDPROC editProc = wc.lpfnWndProc;
    int editExtra = wc.cbWndExtra;
    wc.lpfnWndProc = InpValProc;
    wc.cbWndExtra = editExtra + SLOT_COUNT * static_cast<int>(sizeof(LONG_PTR));
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.style |= CS_GLOBALCLASS;   // dialogs of any module find it
    wc.lpszClassName = INPVAL_CLASS;
    s_editProc = editProc;
    s_editExtra = editExtra;
    if (!RegisterClassExW(&wc)) {
        s_editProc = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL IsInpValBox(HWND box)
{
    wchar_t cls[32];
    return GetClassNameW(box, cls, 32) && lstrcmpiW(cls, INPVAL_CLASS) == 0;
}

BOOL InpValSetValue(HWND box, UINT value)
{
    ShowValue(box, value);   // WM_SETTEXT clamps
    return TRUE;
}

UINT InpValGetValue(HWND box)
{
    UINT value;
    return ShownValue(box, &value) ? value : GetSlot(box, SLOT_LAST);
}

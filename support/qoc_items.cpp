// Reading and writing the controls of a dialog by identifier.
#include "qoc_ctrl.h"

#include <commctrl.h>
#include <limits.h>

static int ClampSize(size_t size)
{
    return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}

BOOL QocSetDlgItemStrW(HWND dialog, int id, const wchar_t* text)
{
    return SetDlgItemTextW(dialog, id, text ? text : L"");
}

BOOL QocGetDlgItemStrW(HWND dialog, int id, wchar_t* out, size_t size)
{
    if (!out || size == 0) return FALSE;
    out[0] = L'\0';
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    GetWindowTextW(control, out, ClampSize(size));
    out[size - 1] = L'\0';
    return TRUE;
}

BOOL QocSetDlgItemUInt(HWND dialog, int id, UINT value)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    if (IsRadioGroup(control)) return RadioGroupSetIndex(control, value);
    if (IsInpValBox(control)) return InpValSetValue(control, value);
    return SetDlgItemInt(dialog, id, value, FALSE);
}

UINT QocGetDlgItemUInt(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return 0;
    if (IsRadioGroup(control)) return RadioGroupGetIndex(control);
    if (IsInpValBox(control)) return InpValGetValue(control);
    BOOL ok = FALSE;
    UINT value = GetDlgItemInt(dialog, id, &ok, FALSE);
    return ok ? value : 0;
}

BOOL QocSetDlgItemChk(HWND dialog, int id, int checked)
{
    return CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

int QocGetDlgItemChk(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

BOOL QocEnableDlgItem(HWND dialog, int id, int enable)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    EnableWindow(control, enable != 0);
    return TRUE;
}

BOOL QocShowDlgItem(HWND dialog, int id, int show)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    ShowWindow(control, show ? SW_SHOW : SW_HIDE);
    return TRUE;
}

BOOL QocSetDlgItemPgsRange(HWND dialog, int id, int low, int high)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    SendMessageW(control, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
    return TRUE;
}

BOOL QocSetDlgItemPgsPos(HWND dialog, int id, int pos)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    SendMessageW(control, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
    return TRUE;
}

BOOL ChildInsideBox(HWND child, HWND box)
{
    RECT c, b;
    if (!GetWindowRect(child, &c) || !GetWindowRect(box, &b)) return FALSE;
    return c.left >= b.left && c.top >= b.top && c.right <= b.right && c.bottom <= b.bottom;
}

BOOL QocEnableDlgGroup(HWND dialog, int groupId, int enable, int withBox)
{
    HWND box = GetDlgItem(dialog, groupId);
    if (!box) return FALSE;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child != box && ChildInsideBox(child, box)) EnableWindow(child, enable != 0);
    }
    if (withBox) EnableWindow(box, enable != 0);
    return TRUE;
}

int QocGetCtrlStrW(HWND control, wchar_t* out, size_t size)
{
    if (!out || size == 0) return 0;
    out[0] = L'\0';
    int len = GetWindowTextW(control, out, ClampSize(size));
    out[size - 1] = L'\0';
    return len;
}

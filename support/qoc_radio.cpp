// Radio groups: a group box stands for the auto radio buttons inside it.
// Its value is the index of the ticked button; a change reaches the parent
// as WM_COMMAND(MAKEWPARAM(box id, QOC_RBN_CHANGED), index).
#include "qoc_ctrl.h"

#include <commctrl.h>

enum { MAX_BUTTONS = 32 };

// Set while RadioGroupSetIndex ticks buttons: it notifies once itself.
static int s_settingIndex;

static BOOL IsAutoRadioButton(HWND window)
{
    wchar_t cls[16];
    if (!GetClassNameW(window, cls, 16) || lstrcmpiW(cls, L"Button") != 0) return FALSE;
    return (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

// The group's buttons in z order, which is template order.
static int GroupButtons(HWND box, HWND* buttons)
{
    int count = 0;
    for (HWND w = GetWindow(GetParent(box), GW_CHILD); w && count < MAX_BUTTONS;
         w = GetWindow(w, GW_HWNDNEXT)) {
        if (IsAutoRadioButton(w) && ChildInsideBox(w, box)) buttons[count++] = w;
    }
    return count;
}

static void NotifyChanged(HWND box, UINT index)
{
    SendMessageW(GetParent(box), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(box), QOC_RBN_CHANGED), static_cast<LPARAM>(index));
}

static LRESULT CALLBACK GroupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, GroupBoxProc, id);
        RemovePropW(window, QOC_PROP_RADIO_GROUP);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// Every way a button gets ticked (click, keyboard, BM_SETCHECK) ends in
// BM_SETCHECK on it; the others of the group are cleared before the parent
// hears of it, so that it reads a consistent group.
static LRESULT CALLBACK RadioButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, RadioButtonProc, id);
    } else if (message == BM_SETCHECK && wParam == BST_CHECKED && !s_settingIndex &&
               SendMessageW(window, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        HWND box = reinterpret_cast<HWND>(data);
        HWND buttons[MAX_BUTTONS];
        int count = GroupButtons(box, buttons);
        int index = -1;
        for (int i = 0; i < count; ++i) {
            if (buttons[i] == window) index = i;
            else SendMessageW(buttons[i], BM_SETCHECK, BST_UNCHECKED, 0);
        }
        if (index >= 0) NotifyChanged(box, static_cast<UINT>(index));
        return result;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

BOOL QocSbcRadioBtns(HWND groupBox)
{
    if (!IsWindow(groupBox) || IsRadioGroup(groupBox)) return FALSE;
    HWND buttons[MAX_BUTTONS];
    int count = GroupButtons(groupBox, buttons);
    for (int i = 0; i < count; ++i)
        SetWindowSubclass(buttons[i], RadioButtonProc, 0, reinterpret_cast<DWORD_PTR>(groupBox));
    SetPropW(groupBox, QOC_PROP_RADIO_GROUP, groupBox);
    return SetWindowSubclass(groupBox, GroupBoxProc, 0, 0);
}

BOOL IsRadioGroup(HWND groupBox)
{
    return GetPropW(groupBox, QOC_PROP_RADIO_GROUP) != nullptr;
}

BOOL RadioGroupSetIndex(HWND groupBox, UINT index)
{
    HWND buttons[MAX_BUTTONS];
    int count = GroupButtons(groupBox, buttons);
    if (index >= static_cast<UINT>(count)) return FALSE;
    ++s_settingIndex;
    for (int i = 0; i < count; ++i)
        SendMessageW(buttons[i], BM_SETCHECK, i == static_cast<int>(index) ? BST_CHECKED : BST_UNCHECKED, 0);
    --s_settingIndex;
    NotifyChanged(groupBox, index);
    return TRUE;
}

UINT RadioGroupGetIndex(HWND groupBox)
{
    HWND buttons[MAX_BUTTONS];
    int count = GroupButtons(groupBox, buttons);
    for (int i = 0; i < count; ++i)
        if (SendMessageW(buttons[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<UINT>(i);
    return 0;
}

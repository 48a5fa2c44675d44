// Control states of a window kept in the profile: the history lists and
// edit texts of history combo boxes ("C<id>_<n>", "E<id>") and the states of
// check boxes and auto radio buttons ("B<id>").
#include "qoc_ctrl.h"

#include <stdlib.h>
#include <wchar.h>

enum { NAME_CHARS = 24 };

static void ValueName(wchar_t (&name)[NAME_CHARS], wchar_t kind, int id)
{
    _snwprintf(name, NAME_CHARS, L"%lc%d", kind, id);
    name[NAME_CHARS - 1] = L'\0';
}

static void EntryName(wchar_t (&name)[NAME_CHARS], int id, int index)
{
    _snwprintf(name, NAME_CHARS, L"C%d_%d", id, index);
    name[NAME_CHARS - 1] = L'\0';
}

static BOOL IsStateButton(HWND control)
{
    wchar_t cls[16];
    if (!GetClassNameW(control, cls, 16) || lstrcmpiW(cls, L"Button") != 0) return FALSE;
    switch (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE: case BS_AUTORADIOBUTTON:
        return TRUE;
    }
    return FALSE;
}

// Identifier of a control whose state is kept; 0 for the others (-1 of static texts included).
static int KeptId(HWND control)
{
    int id = GetDlgCtrlID(control);
    return id > 0 && id != 0xFFFF ? id : 0;
}

static wchar_t* WindowText(HWND window)
{
    int len = GetWindowTextLengthW(window);
    auto* text = static_cast<wchar_t*>(calloc(static_cast<size_t>(len > 0 ? len : 0) + 1, sizeof(wchar_t)));
    if (text) GetWindowTextW(window, text, len + 1);
    return text;
}

static void LoadHistory(HWND combo, int id, const wchar_t* section, size_t textSize)
{
    int maxItems, maxLen;
    HistoryComboLimits(combo, &maxItems, &maxLen);
    // The entries may be as long as the combo box allows.
    size_t size = textSize > static_cast<size_t>(maxLen) ? textSize : static_cast<size_t>(maxLen) + 1;
    auto* text = static_cast<wchar_t*>(calloc(size, sizeof(wchar_t)));
    if (!text) return;
    wchar_t name[NAME_CHARS];
    BOOL cleared = FALSE;
    for (int i = 0; i < maxItems; ++i) {
        EntryName(name, id, i);
        QocGetProfileStrW(section, name, L"", text, size);
        if (!text[0]) continue;
        if (!cleared) {
            SendMessageW(combo, CB_RESETCONTENT, 0, 0);
            cleared = TRUE;
        }
        text[maxLen] = L'\0';
        SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    }
    ValueName(name, L'E', id);
    wchar_t* current = WindowText(combo);
    QocGetProfileStrW(section, name, current ? current : L"", text, size);
    free(current);
    text[maxLen] = L'\0';
    SetWindowTextW(combo, text);
    free(text);
}

static BOOL SaveHistory(HWND combo, int id, HKEY section)
{
    int maxItems, maxLen;
    HistoryComboLimits(combo, &maxItems, &maxLen);
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    BOOL ok = TRUE;
    wchar_t name[NAME_CHARS];
    // Every slot is written, so that entries removed since the last save do not come back.
    for (int i = 0; i < maxItems; ++i) {
        wchar_t* text = i < count ? ComboEntryText(combo, i) : nullptr;
        EntryName(name, id, i);
        ok = PutKeyStr(section, name, text) && ok;
        free(text);
    }
    wchar_t* text = WindowText(combo);
    ValueName(name, L'E', id);
    ok = PutKeyStr(section, name, text) && ok;
    free(text);
    return ok;
}

BOOL QocLoadAllControlSettingsW(HWND window, const wchar_t* section, size_t size)
{
    if (!section || !*section) return FALSE;
    DialogRecord* rec = GetDialogRecord(window, TRUE);
    if (!rec) return FALSE;
    wchar_t* copy = _wcsdup(section);
    if (!copy) return FALSE;
    free(rec->section);
    rec->section = copy;
    rec->textSize = size > 0 ? size : MAX_PATH;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = KeptId(child), maxItems, maxLen;
        if (!id) continue;
        if (HistoryComboLimits(child, &maxItems, &maxLen)) {
            LoadHistory(child, id, section, rec->textSize);
        } else if (IsStateButton(child)) {
            wchar_t name[NAME_CHARS];
            ValueName(name, L'B', id);
            UINT current = static_cast<UINT>(SendMessageW(child, BM_GETCHECK, 0, 0));
            UINT state = QocGetProfileUIntW(section, name, current);
            if (state <= BST_INDETERMINATE) SendMessageW(child, BM_SETCHECK, state, 0);   // no notification
        }
    }
    return TRUE;
}

BOOL QocSaveAllControlSettings(HWND window)
{
    const DialogRecord* rec = GetDialogRecord(window, FALSE);
    if (!rec || !rec->section) return FALSE;
    // One opening for all values: saved as the window closes, where a user
    // and a timed division wait for it.
    HKEY section = OpenProfileSectionToWrite(rec->section);
    if (!section) return FALSE;
    BOOL ok = TRUE;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = KeptId(child), maxItems, maxLen;
        if (!id) continue;
        if (HistoryComboLimits(child, &maxItems, &maxLen)) {
            ok = SaveHistory(child, id, section) && ok;
        } else if (IsStateButton(child)) {
            wchar_t name[NAME_CHARS];
            ValueName(name, L'B', id);
            UINT state = static_cast<UINT>(SendMessageW(child, BM_GETCHECK, 0, 0));
            ok = PutKeyUInt(section, name, state) && ok;
        }
    }
    RegCloseKey(section);
    return ok;
}

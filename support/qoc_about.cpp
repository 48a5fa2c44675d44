// The about box, built from a template in memory so that no program needs
// a resource for it.
#include "qoc_ctrl.h"

enum { ID_ICON = 100, ID_DESCRIPTION, ID_VERSION, ID_COPYRIGHT };
enum { CLASS_BUTTON = 0x0080, CLASS_STATIC = 0x0082 };
enum { TEMPLATE_WORDS = 256, LINE_CHARS = 192 };

struct AboutBox {
    const wchar_t* version;
    HICON icon;
    int year;
    const wchar_t* description;
    const wchar_t* title;
    const wchar_t* company;
    int flags;
};

static size_t PutText(WORD* t, size_t at, const wchar_t* text)
{
    do t[at++] = *text; while (*text++);
    return at;
}

static size_t PutItem(WORD* t, size_t at, DWORD style, short x, short y, short cx, short cy,
                      WORD id, WORD cls, const wchar_t* text)
{
    at = (at + 1) & ~static_cast<size_t>(1);   // items start on a DWORD
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(t + at);
    item->style = style | WS_CHILD | WS_VISIBLE;
    item->dwExtendedStyle = 0;
    item->x = x;
    item->y = y;
    item->cx = cx;
    item->cy = cy;
    item->id = id;
    at += sizeof(DLGITEMTEMPLATE) / sizeof(WORD);
    t[at++] = 0xFFFF;
    t[at++] = cls;
    at = PutText(t, at, text);
    t[at++] = 0;   // no creation data
    return at;
}

static void CenterOnOwner(HWND box, HWND owner)
{
    RECT o, b;
    if (!GetWindowRect(owner, &o) || !GetWindowRect(box, &b)) return;
    int x = (o.left + o.right - (b.right - b.left)) / 2;
    int y = (o.top + o.bottom - (b.bottom - b.top)) / 2;
    SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static INT_PTR CALLBACK AboutProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* about = reinterpret_cast<const AboutBox*>(lParam);
        SetWindowTextW(box, about->title ? about->title : L"");
        if (about->icon) SendDlgItemMessageW(box, ID_ICON, STM_SETICON, reinterpret_cast<WPARAM>(about->icon), 0);
        SetDlgItemTextW(box, ID_DESCRIPTION, about->description ? about->description : L"");
        wchar_t line[LINE_CHARS];
        QocSnPrintFW(line, LINE_CHARS, L"Version %s", about->version ? about->version : L"");
        SetDlgItemTextW(box, ID_VERSION, line);
        QocSnPrintFW(line, LINE_CHARS, L"\u00A9 %d %s", about->year, about->company ? about->company : L"");
        SetDlgItemTextW(box, ID_COPYRIGHT, line);
        HWND owner = GetWindow(box, GW_OWNER);
        if ((about->flags & 2) && owner) CenterOnOwner(box, owner);
        QocMoveWndIntoMonitor(box);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(box, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR QocQorAppVersionDialogExW(HWND owner, const wchar_t* version, HICON icon, int year,
                                  const wchar_t* description, const wchar_t* title,
                                  const wchar_t* company, int flags)
{
    alignas(4) WORD t[TEMPLATE_WORDS] = {};
    auto* dlg = reinterpret_cast<DLGTEMPLATE*>(t);
    dlg->style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU |
                 ((flags & 2) && owner ? 0 : DS_CENTER);
    dlg->cdit = 5;
    dlg->cx = 210;
    dlg->cy = 82;
    size_t at = sizeof(DLGTEMPLATE) / sizeof(WORD);
    t[at++] = 0;   // no menu
    t[at++] = 0;   // the dialog class
    t[at++] = 0;   // the caption is set at initialisation
    t[at++] = 8;
    at = PutText(t, at, L"MS Shell Dlg");
    at = PutItem(t, at, SS_ICON, 10, 10, 21, 20, ID_ICON, CLASS_STATIC, L"");
    at = PutItem(t, at, SS_LEFT | SS_NOPREFIX, 42, 10, 160, 10, ID_DESCRIPTION, CLASS_STATIC, L"");
    at = PutItem(t, at, SS_LEFT | SS_NOPREFIX, 42, 24, 160, 10, ID_VERSION, CLASS_STATIC, L"");
    at = PutItem(t, at, SS_LEFT | SS_NOPREFIX, 42, 38, 160, 10, ID_COPYRIGHT, CLASS_STATIC, L"");
    PutItem(t, at, BS_DEFPUSHBUTTON | WS_TABSTOP, 80, 58, 50, 14, IDOK, CLASS_BUTTON, L"OK");
    AboutBox about = {version, icon, year, description, title, company, flags};
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dlg, owner, AboutProc,
                                   reinterpret_cast<LPARAM>(&about));
}

#include <gtest/gtest.h>

#include <string>

#include "qoc.h"
#include "support_ui_helpers.h"

namespace {

// QocDoEventW looks at the queue only every few milliseconds.
void LetTheLookIntervalPass() { Sleep(100); }

int g_userMessages;
LRESULT CALLBACK CountingProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_USER + 9) ++g_userMessages;
    return DefWindowProcW(w, m, wp, lp);
}

TEST(SupportWindows, DoEventRunsPendingMessagesAndKeepsTheQuit)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QocTestCounting";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, L"QocTestCounting", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(w);
    g_userMessages = 0;
    PostMessageW(w, WM_USER + 9, 0, 0);
    LetTheLookIntervalPass();
    QocDoEventW();
    EXPECT_EQ(g_userMessages, 1);

    // A quit met on the way stays for the program's own loop, and stops the run.
    PostQuitMessage(3);
    PostMessageW(w, WM_USER + 9, 0, 0);
    LetTheLookIntervalPass();
    QocDoEventW();
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    DestroyWindow(w);
}

int g_cancels;
INT_PTR CALLBACK EscDialogProc(HWND, UINT m, WPARAM wp, LPARAM)
{
    if (m == WM_COMMAND && LOWORD(wp) == IDCANCEL) ++g_cancels;
    return m == WM_INITDIALOG;
}

TEST(SupportWindows, DoEventGivesDialogsTheirKeys)
{
    // A dialog with one edit box, from a template in memory.
    alignas(4) WORD t[64] = {};
    auto* dlg = reinterpret_cast<DLGTEMPLATE*>(t);
    dlg->style = WS_POPUP | WS_CAPTION;
    dlg->cdit = 1;
    dlg->cx = 100;
    dlg->cy = 40;
    size_t at = sizeof(DLGTEMPLATE) / sizeof(WORD) + 3;   // no menu, class, caption
    at = (at + 1) & ~size_t(1);
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(t + at);
    item->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
    item->cx = 80;
    item->cy = 12;
    item->id = 1011;
    at += sizeof(DLGITEMTEMPLATE) / sizeof(WORD);
    t[at++] = 0xFFFF;
    t[at++] = 0x0081;   // edit
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dlg, nullptr, EscDialogProc, 0);
    ASSERT_TRUE(dialog);
    g_cancels = 0;
    HWND edit = GetDlgItem(dialog, 1011);
    PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    LetTheLookIntervalPass();
    QocDoEventW();
    EXPECT_EQ(g_cancels, 1);
    DestroyWindow(dialog);
}

TEST(SupportWindows, WindowIsMovedIntoItsMonitor)
{
    HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(w);
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &mi);
    const RECT& area = mi.rcWork;
    RECT rc;

    SetWindowPos(w, nullptr, area.right - 50, area.bottom - 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(QocMoveWndIntoMonitor(w));
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.right, area.right);
    EXPECT_EQ(rc.bottom, area.bottom);

    SetWindowPos(w, nullptr, area.left - 30, area.top - 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(QocMoveWndIntoMonitor(w));
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.left, area.left);
    EXPECT_EQ(rc.top, area.top);

    SetWindowPos(w, nullptr, area.left + 10, area.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(QocMoveWndIntoMonitor(w));
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.left, area.left + 10);
    EXPECT_EQ(rc.top, area.top + 20);
    DestroyWindow(w);
}

std::wstring g_aboutTexts;
void CALLBACK CloseAbout(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = FindWindowW(L"#32770", L"Version information");
    if (!box) return;   // not up yet
    KillTimer(nullptr, id);
    wchar_t text[200];
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        GetWindowTextW(c, text, 200);
        g_aboutTexts += text;
        g_aboutTexts += L"|";
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}
void CALLBACK GiveUpAbout(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND box = GetActiveWindow()) EndDialog(box, 0);
}

TEST(SupportWindows, AboutBoxShowsItsTextsAndCloses)
{
    g_aboutTexts.clear();
    UINT_PTR poll = SetTimer(nullptr, 0, 50, CloseAbout);
    UINT_PTR guard = SetTimer(nullptr, 0, 5000, GiveUpAbout);
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    INT_PTR result = QocQorAppVersionDialogExW(nullptr, L"1.0.0", icon, 2024, L"Sundrel / integrate",
                                               L"Version information", L"Velmora", 2);
    KillTimer(nullptr, poll);
    KillTimer(nullptr, guard);
    EXPECT_EQ(result, IDOK);
    EXPECT_NE(g_aboutTexts.find(L"|Sundrel / integrate|Version 1.0.0|\u00A9 2024 Velmora|OK|"), std::wstring::npos)
        << std::string(g_aboutTexts.begin(), g_aboutTexts.end());
}

}  // namespace

#include <gtest/gtest.h>

#include "qoc.h"
#include "support_ui_helpers.h"

namespace {

struct Call {
    int handler;
    UINT message;
    WPARAM wParam;
};
std::vector<Call> g_calls;

INT_PTR OnUser(HWND, UINT m, WPARAM w, LPARAM) { g_calls.push_back({1, m, w}); return 11; }
INT_PTR OnCmd5(HWND, UINT m, WPARAM w, LPARAM) { g_calls.push_back({2, m, w}); return 22; }
INT_PTR OnCmd5Again(HWND, UINT m, WPARAM w, LPARAM) { g_calls.push_back({3, m, w}); return 33; }
INT_PTR OnNamed(HWND, UINT m, WPARAM w, LPARAM) { g_calls.push_back({4, m, w}); return 44; }

const QOC_MMP_ROW kRows[] = {
    {QOC_MMP_MSG, WM_USER + 1, 0, OnUser, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, 5, OnCmd5, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, 5, OnCmd5Again, nullptr, 0},
    {QOC_MMP_MSG, 0, 0, OnNamed, L"QocUnitTestNamed", 0},
    {},
};

TEST(SupportMaps, DialogMapDispatchesByMessageCommandAndName)
{
    QOC_MMP_REC rec = {};
    ASSERT_TRUE(QocMmpInitTblW(kRows, &rec));
    EXPECT_EQ(rec.count, 4);
    EXPECT_TRUE(QocMmpInitTblW(kRows, &rec));   // a second compile changes nothing
    EXPECT_EQ(rec.count, 4);
    g_calls.clear();

    EXPECT_EQ(QocMmpDlgMsgHandle(&rec, nullptr, WM_USER + 1, 0, 0), 11);
    // The first of two rows for one command wins; the handler sees the notification code.
    EXPECT_EQ(QocMmpDlgMsgHandle(&rec, nullptr, WM_COMMAND, MAKEWPARAM(5, 0x8000), 0), 22);
    UINT named = RegisterWindowMessageW(L"QocUnitTestNamed");
    EXPECT_EQ(QocMmpDlgMsgHandle(&rec, nullptr, named, 0, 0), 44);
    ASSERT_EQ(g_calls.size(), 3u);
    EXPECT_EQ(g_calls[1].handler, 2);
    EXPECT_EQ(HIWORD(g_calls[1].wParam), 0x8000);

    // Nothing matches: 0, and no handler runs (WM_NULL does not hit the named row).
    EXPECT_EQ(QocMmpDlgMsgHandle(&rec, nullptr, WM_COMMAND, 6, 0), 0);
    EXPECT_EQ(QocMmpDlgMsgHandle(&rec, nullptr, WM_USER + 2, 0, 0), 0);
    EXPECT_EQ(QocMmpDlgMsgHandle(&rec, nullptr, WM_NULL, 0, 0), 0);
    EXPECT_EQ(QocMmpDlgMsgHandle(&rec, nullptr, 5, 0, 0), 0);   // a command id is no message
    EXPECT_EQ(g_calls.size(), 3u);
}

TEST(SupportMaps, TooManyRowsAreRefused)
{
    QOC_MMP_ROW rows[QOC_MMP_MAX_ROWS + 2] = {};
    for (int i = 0; i <= QOC_MMP_MAX_ROWS; ++i) rows[i] = {QOC_MMP_MSG, WM_USER + 1, 0, OnUser, nullptr, 0};
    QOC_MMP_REC rec = {};
    EXPECT_FALSE(QocMmpInitTblW(rows, &rec));
}

// The window's own procedure, which the subclass must keep reaching.
LRESULT CALLBACK OwnProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_USER + 1 || m == WM_USER + 5) return 7;
    return DefWindowProcW(w, m, wp, lp);
}

QOC_MMP_REC g_subRec;
LRESULT CALLBACK SubProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return QocMmpWndMsgHandle(&g_subRec, w, m, wp, lp, SubProc, L"TestSub");
}

TEST(SupportMaps, NamedSubclassHandlesRowsAndPassesTheRest)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = OwnProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QocTestOwnProc";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, L"QocTestOwnProc", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(w);
    ASSERT_TRUE(QocMmpInitTblW(kRows, &g_subRec));
    ASSERT_TRUE(QocMmpSetSubclass(w, L"TestSub", SubProc));
    EXPECT_FALSE(QocMmpSetSubclass(w, L"TestSub", SubProc));   // never twice under one name
    g_calls.clear();

    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 0, 0), 11);   // the row wins over the old procedure
    EXPECT_EQ(SendMessageW(w, WM_USER + 5, 0, 0), 7);    // no row: the old procedure
    EXPECT_EQ(SendMessageW(w, WM_COMMAND, 5, 0), 22);
    EXPECT_EQ(g_calls.size(), 2u);

    EXPECT_TRUE(QocMmpDelSubclass(w, L"TestSub"));
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(OwnProc));
    EXPECT_EQ(GetPropW(w, L"TestSub"), nullptr);
    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 0, 0), 7);
    EXPECT_FALSE(QocMmpDelSubclass(w, L"TestSub"));
    DestroyWindow(w);
}

}  // namespace

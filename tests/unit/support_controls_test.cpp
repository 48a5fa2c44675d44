#include <gtest/gtest.h>

#include <shlobj.h>
#include <string>

#include "qoc.h"
#include "support_ui_helpers.h"

namespace {

class SupportControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QocDgcSetup());
        parent = CreateRecordingParent();
        ASSERT_TRUE(parent);
    }
    void TearDown() override { DestroyWindow(parent); }
    std::wstring Text(HWND w)
    {
        wchar_t buf[600];
        GetWindowTextW(w, buf, 600);
        return buf;
    }
    HWND parent = nullptr;
};

TEST_F(SupportControls, RadioGroupIndexSetGetAndNotify)
{
    HWND box = AddControl(parent, WC_BUTTONW, L"g", BS_GROUPBOX, 10, 10, 200, 100, 1025);
    HWND first = AddControl(parent, WC_BUTTONW, L"a", BS_AUTORADIOBUTTON | WS_GROUP, 20, 30, 80, 20, 1026);
    HWND second = AddControl(parent, WC_BUTTONW, L"b", BS_AUTORADIOBUTTON, 20, 60, 80, 20, 1027);
    HWND outside = AddControl(parent, WC_BUTTONW, L"c", BS_AUTORADIOBUTTON | WS_GROUP, 20, 150, 80, 20, 1028);
    SendMessageW(outside, BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(QocSbcRadioBtns(box));
    RecordedCommands().clear();

    // Setting notifies like a click, even when the index stays.
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(QocSetDlgItemUInt(parent, 1025, 1));
        ASSERT_EQ(RecordedCommands().size(), static_cast<size_t>(round + 1));
        EXPECT_EQ(RecordedCommands().back().wParam, MAKEWPARAM(1025, QOC_RBN_CHANGED));
        EXPECT_EQ(RecordedCommands().back().lParam, 1);
    }
    EXPECT_EQ(QocGetDlgItemUInt(parent, 1025), 1u);
    EXPECT_EQ(SendMessageW(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(outside, BM_GETCHECK, 0, 0), BST_CHECKED);   // not of the group

    EXPECT_FALSE(QocSetDlgItemUInt(parent, 1025, 2));   // only two buttons
    EXPECT_EQ(RecordedCommands().size(), 2u);
    EXPECT_EQ(QocGetDlgItemUInt(parent, 1025), 1u);

    // A click notifies the new index; the group reads consistently at that time.
    RecordedCommands().clear();
    SendMessageW(first, BM_CLICK, 0, 0);
    bool notified = false;
    for (const RecordedCommand& c : RecordedCommands()) {
        if (c.wParam != MAKEWPARAM(1025, QOC_RBN_CHANGED)) continue;
        notified = true;
        EXPECT_EQ(c.lParam, 0);
    }
    EXPECT_TRUE(notified);
    EXPECT_EQ(QocGetDlgItemUInt(parent, 1025), 0u);
    EXPECT_EQ(SendMessageW(second, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Ticking a button directly keeps the group to one ticked button.
    RecordedCommands().clear();
    SendMessageW(second, BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_EQ(RecordedCommands().size(), 1u);
    EXPECT_EQ(RecordedCommands()[0].lParam, 1);
    EXPECT_EQ(SendMessageW(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(SupportControls, NumberBoxKeepsItsRange)
{
    HWND box = CreateWindowExW(0, L"QocCtrlInpVal", L"I: L=1, R=50", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                               10, 10, 60, 20, parent, reinterpret_cast<HMENU>(1005),
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(box);
    EXPECT_TRUE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(Text(box), L"1");   // the setup text is not shown
    EXPECT_EQ(QocGetDlgItemUInt(parent, 1005), 1u);

    EXPECT_TRUE(QocSetDlgItemUInt(parent, 1005, 16));
    EXPECT_EQ(QocGetDlgItemUInt(parent, 1005), 16u);
    QocSetDlgItemUInt(parent, 1005, 0);
    EXPECT_EQ(Text(box), L"1");
    QocSetDlgItemUInt(parent, 1005, 51);
    EXPECT_EQ(Text(box), L"50");
    QocSetDlgItemUInt(parent, 1005, 0xFFFFFFFFu);
    EXPECT_EQ(QocGetDlgItemUInt(parent, 1005), 50u);
    SetWindowTextW(box, L"abc");   // refused
    EXPECT_EQ(Text(box), L"50");
    SetWindowTextW(box, L"99999999999999999999");
    EXPECT_EQ(Text(box), L"50");

    // Typing: digits only; a number out of range or nothing is never the value.
    QocSetDlgItemUInt(parent, 1005, 16);
    SendMessageW(box, EM_SETSEL, 0, -1);
    for (wchar_t c : std::wstring(L"7x0-0")) SendMessageW(box, WM_CHAR, c, 0);
    EXPECT_EQ(Text(box), L"700");
    EXPECT_EQ(QocGetDlgItemUInt(parent, 1005), 16u);
    SendMessageW(box, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(Text(box), L"16");

    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, WM_CHAR, L'2', 0);
    EXPECT_EQ(QocGetDlgItemUInt(parent, 1005), 2u);
    SendMessageW(box, WM_KILLFOCUS, 0, 0);
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, WM_CHAR, VK_BACK, 0);
    EXPECT_EQ(Text(box), L"");
    EXPECT_EQ(QocGetDlgItemUInt(parent, 1005), 2u);
    SendMessageW(box, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(Text(box), L"2");
}

std::vector<std::wstring> Entries(HWND combo)
{
    std::vector<std::wstring> out;
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t buf[600] = L"";
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        out.push_back(buf);
    }
    return out;
}

void Register(HWND combo, const wchar_t* text)
{
    SendMessageW(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
    QocSbcSetMostNew(combo);
}

TEST_F(SupportControls, HistoryComboKeepsEachTextOnceNewestFirst)
{
    HWND combo = AddControl(parent, WC_COMBOBOXW, L"", CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL | WS_VSCROLL,
                            10, 10, 300, 200, 1036);
    ASSERT_TRUE(QocSbcComboBoxW(combo, 3, 10));
    HWND edit = QocSbcGetEditCtrlInComboBox(combo);
    ASSERT_TRUE(edit);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 10);
    EXPECT_GT(LOWORD(SendMessageW(edit, EM_GETMARGINS, 0, 0)), 4);   // room for the mark

    Register(combo, L"b");
    Register(combo, L"c");
    Register(combo, L"a");
    Register(combo, L"b");   // moves up, stays once
    EXPECT_EQ(Entries(combo), (std::vector<std::wstring>{L"b", L"a", L"c"}));
    Register(combo, L"");
    EXPECT_EQ(Entries(combo), (std::vector<std::wstring>{L"b", L"a", L"c"}));
    Register(combo, L"d");   // the oldest goes
    EXPECT_EQ(Entries(combo), (std::vector<std::wstring>{L"d", L"b", L"a"}));
    Register(combo, L"0123456789ABC");
    EXPECT_EQ(Entries(combo)[0], L"0123456789");
    Register(combo, L"0123456789");
    EXPECT_EQ(Entries(combo), (std::vector<std::wstring>{L"0123456789", L"d", L"b"}));
}

void CALLBACK EndMenuLater(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

TEST_F(SupportControls, MarkMenuRemovesTheChosenEntry)
{
    ShowWindow(parent, SW_SHOW);
    HWND combo = AddControl(parent, WC_COMBOBOXW, L"", CBS_DROPDOWN, 10, 10, 300, 200, 1036);
    ASSERT_TRUE(QocSbcComboBoxW(combo, 30, 511));
    Register(combo, L"x&y");
    Register(combo, L"second");
    Register(combo, L"first");
    HWND edit = QocSbcGetEditCtrlInComboBox(combo);
    POINT onMark = {2, 4};
    ClientToScreen(edit, &onMark);
    // The menu loop takes these keys: second item, chosen.
    PostMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    UINT_PTR guard = SetTimer(nullptr, 0, 3000, EndMenuLater);   // never hangs
    SendMessageW(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), MAKELPARAM(onMark.x, onMark.y));
    KillTimer(nullptr, guard);
    EXPECT_EQ(Entries(combo), (std::vector<std::wstring>{L"first", L"x&y"}));
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST_F(SupportControls, DroppedPathBecomesTheTextAndNotifies)
{
    HWND edit = AddControl(parent, WC_EDITW, L"", ES_READONLY | ES_AUTOHSCROLL, 10, 10, 300, 20, 1040);
    ASSERT_TRUE(QocEnableDlgItemToDrop(parent, 1040, 1));
    EXPECT_TRUE(GetWindowLongW(edit, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    auto drop = [&](const std::wstring& path) {
        size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
        HGLOBAL mem = GlobalAlloc(GHND, bytes);
        auto* files = static_cast<DROPFILES*>(GlobalLock(mem));
        files->pFiles = sizeof(DROPFILES);
        files->fWide = TRUE;
        memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
        GlobalUnlock(mem);
        SendMessageW(edit, WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);
    };
    RecordedCommands().clear();
    drop(L"C:\\Program Files\\Outlook");
    EXPECT_EQ(Text(edit), L"C:\\Program Files\\Outlook");
    bool changed = false;
    for (const RecordedCommand& c : RecordedCommands())
        changed |= c.wParam == MAKEWPARAM(1040, EN_CHANGE);
    EXPECT_TRUE(changed);
    drop(L"C:\\" + std::wstring(300, L'a'));   // longer than a path buffer: ignored
    EXPECT_EQ(Text(edit), L"C:\\Program Files\\Outlook");
}

TEST_F(SupportControls, GroupEnablesWhatLiesWhollyInside)
{
    HWND box = AddControl(parent, WC_BUTTONW, L"", BS_GROUPBOX, 10, 50, 300, 100, 1041);
    HWND inside = AddControl(parent, WC_EDITW, L"", 0, 20, 60, 100, 20, 1036);
    HWND across = AddControl(parent, WC_BUTTONW, L"", BS_AUTOCHECKBOX, 20, 40, 100, 20, 1033);
    HWND outside = AddControl(parent, WC_BUTTONW, L"", 0, 20, 200, 100, 20, 1);
    EXPECT_TRUE(QocEnableDlgGroup(parent, 1041, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(inside));
    EXPECT_TRUE(IsWindowEnabled(across));
    EXPECT_TRUE(IsWindowEnabled(outside));
    EXPECT_TRUE(IsWindowEnabled(box));
    EXPECT_TRUE(QocEnableDlgGroup(parent, 1041, 0, 1));
    EXPECT_FALSE(IsWindowEnabled(box));
    EXPECT_TRUE(QocEnableDlgGroup(parent, 1041, 1, 1));
    EXPECT_TRUE(IsWindowEnabled(inside));
    EXPECT_TRUE(IsWindowEnabled(box));
}

TEST_F(SupportControls, TextsStayWithinTheirBuffers)
{
    HWND edit = AddControl(parent, WC_EDITW, L"", 0, 10, 10, 300, 20, 1011);
    EXPECT_TRUE(QocSetDlgItemStrW(parent, 1011, L"report.pdf"));
    wchar_t small[5] = {L'x', L'x', L'x', L'x', L'x'};
    EXPECT_TRUE(QocGetDlgItemStrW(parent, 1011, small, 4));
    EXPECT_STREQ(small, L"rep");
    EXPECT_EQ(small[4], L'x');
    wchar_t out[32];
    EXPECT_EQ(QocGetCtrlStrW(edit, out, 32), 10);
    EXPECT_FALSE(QocGetDlgItemStrW(parent, 4711, out, 32));
    EXPECT_STREQ(out, L"");
    QocSetDlgItemUInt(parent, 1011, 42);
    EXPECT_EQ(QocGetDlgItemUInt(parent, 1011), 42u);
}

// The tooltip the support layer gave to the control's dialog or edit field.
HWND TooltipOwnedBy(HWND owner, int index = 0)
{
    struct Find { HWND owner; int index; HWND found; } find = {owner, index, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM p) -> BOOL {
        auto* f = reinterpret_cast<Find*>(p);
        wchar_t cls[64];
        GetClassNameW(w, cls, 64);
        if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && GetWindow(w, GW_OWNER) == f->owner && f->index-- == 0) {
            f->found = w;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

TEST_F(SupportControls, ReadOnlyEditShowsItsTextOnlyWhenCut)
{
    HWND edit = AddControl(parent, WC_EDITW, L"short", ES_READONLY | ES_AUTOHSCROLL, 10, 10, 80, 20, 1011);
    ASSERT_TRUE(QocDgcSubclassEx(parent, 0xFFFFFF));
    HWND tip = TooltipOwnedBy(parent);
    ASSERT_TRUE(tip);
    auto shown = [&]() {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = tip;
        info.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(edit, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return std::wstring(info.lpszText ? info.lpszText : L"(null)");
    };
    EXPECT_EQ(shown(), L"");
    std::wstring path = L"C:\\a rather long folder name\\that does not fit\\report.pdf";
    SetWindowTextW(edit, path.c_str());
    EXPECT_EQ(shown(), path);
}

TEST_F(SupportControls, TipTextsShareOneTooltipPerDialog)
{
    HWND a = AddControl(parent, WC_BUTTONW, L"a", 0, 10, 10, 50, 20, 1044);
    HWND b = AddControl(parent, WC_BUTTONW, L"b", 0, 10, 40, 50, 20, 1045);
    EXPECT_TRUE(QocTipTextAddW(a, L"first line\nsecond line"));
    EXPECT_TRUE(QocTipTextAddW(b, L"other"));
    EXPECT_TRUE(QocTipTextAddW(b, L"replaced"));
    HWND tip = TooltipOwnedBy(parent);
    ASSERT_TRUE(tip);
    EXPECT_EQ(TooltipOwnedBy(parent, 1), nullptr);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
    wchar_t text[80] = L"";
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = parent;
    ti.uId = reinterpret_cast<UINT_PTR>(b);
    ti.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, L"replaced");
}

}  // namespace

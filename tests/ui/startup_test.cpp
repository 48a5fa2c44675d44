// Start-up of the real Sundrel.exe: the window the command line chooses, the
// file it shows, and the context menu of the main window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "uitest.h"
#include "version.h"

namespace {

enum class Window { Settings, Divide, Merge };

std::wstring Caption(Window window)
{
    bool ja = UiIsJapanese();
    switch (window) {
    case Window::Settings: return ja ? L"ファイル分割／統合の設定" : L"File Division/Merge settings";
    case Window::Divide: return ja ? L"ファイルの分割" : L"File to Divide";
    case Window::Merge: return ja ? L"ファイルの統合" : L"File Merge";
    }
    return L"";
}

// Closes the main window as Esc would and expects the run to end with 0.
void CloseAndExpectZero(UiProc& proc, HWND dialog)
{
    ASSERT_TRUE(UiClick(dialog, IDCANCEL));
    DWORD code = 1;
    ASSERT_TRUE(UiWaitExit(proc, &code));
    EXPECT_EQ(0u, code);
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UiRegResetUser();
        folder_ = UiMakeTempDir(L"sundrel-startup");
        ASSERT_FALSE(folder_.empty());
    }
    void TearDown() override
    {
        UiKill(proc_);
        UiRemoveTree(folder_);
        UiRegResetUser();
    }

    // Starts Sundrel with args and expects the window with that caption.
    HWND Start(const std::wstring& args, Window expected)
    {
        if (!UiStart(proc_, UiSundrelExe(), args)) return nullptr;
        return UiFindDialog(proc_, Caption(expected).c_str());
    }

    std::wstring File(const std::wstring& name)
    {
        std::wstring path = UiJoin(folder_, name);
        EXPECT_TRUE(UiWriteFile(path, 100)) << UiToUtf8(path);
        return path;
    }

    UiProc proc_;
    std::wstring folder_;
};

TEST_F(StartupTest, NoArgumentOpensSettings)
{
    HWND dialog = Start(L"", Window::Settings);
    ASSERT_TRUE(dialog);
    CloseAndExpectZero(proc_, dialog);
}

// The first argument alone chooses: marker and ".divide" in any case merge,
// anything else divides; the file box shows the file's name.
TEST_F(StartupTest, FirstArgumentChoosesTheWindow)
{
    const std::wstring piece = File(L"report.pdf(01_of_03).divide");
    const std::wstring upper = File(L"report.pdf(01_of_03).DIVIDE");
    const std::wstring otherExt = File(L"report.pdf(01_of_03).txt");
    const std::wstring noMarker = File(L"report.divide");
    const std::wstring recovery = File(L"report.pdf(00_of_03).recovery-01-of-02.divide");
    struct Case {
        std::wstring args;
        Window window;
        std::wstring shown;
    } cases[] = {
        {UiQuote(piece), Window::Merge, L"report.pdf(01_of_03).divide"},
        {UiQuote(upper), Window::Merge, L"report.pdf(01_of_03).DIVIDE"},
        {UiQuote(otherExt), Window::Divide, L"report.pdf(01_of_03).txt"},
        {UiQuote(recovery), Window::Merge, L"report.pdf(00_of_03).recovery-01-of-02.divide"},
        {UiQuote(noMarker), Window::Divide, L"report.divide"},
        {UiQuote(piece) + L" " + UiQuote(noMarker), Window::Merge, L"report.pdf(01_of_03).divide"},
        {UiQuote(noMarker) + L" " + UiQuote(piece), Window::Divide, L"report.divide"},
        {UiQuote(UiJoin(folder_, L"no such folder\\missing report.pdf")), Window::Divide,
         L"missing report.pdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(UiToUtf8(c.args));
        HWND dialog = Start(c.args, c.window);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(UiToUtf8(c.shown), UiToUtf8(UiGetItemText(dialog, IDC_FILE)));
        CloseAndExpectZero(proc_, dialog);
    }
}

TEST_F(StartupTest, ShortPathIsShownInItsLongForm)
{
    const std::wstring longName = L"quarterly report of sales.pdf";
    std::wstring path = File(longName);
    wchar_t shortPath[MAX_PATH] = L"";
    DWORD len = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    ASSERT_GT(len, 0u) << UiToUtf8(UiErrorText(L"GetShortPathNameW", path));
    ASSERT_LT(len, static_cast<DWORD>(MAX_PATH));
    std::wstring shortForm(shortPath);
    std::wstring shortName = shortForm.substr(shortForm.find_last_of(L'\\') + 1);
    if (shortName == longName)
        GTEST_SKIP() << "this file system gives no distinct short name";

    HWND dialog = Start(UiQuote(shortForm), Window::Divide);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(UiToUtf8(longName), UiToUtf8(UiGetItemText(dialog, IDC_FILE)))
        << "started with " << UiToUtf8(shortForm);
    CloseAndExpectZero(proc_, dialog);
}

// A path longer than the path buffer is not used at all, rather than cut.
TEST_F(StartupTest, OverlongArgumentLeavesTheFileBoxEmpty)
{
    for (size_t length : {MAX_PATH, MAX_PATH + 40, 2000}) {
        SCOPED_TRACE(length);
        std::wstring arg = L"C:\\" + std::wstring(length - 7, L'a') + L".pdf";
        ASSERT_EQ(length, arg.size());
        HWND dialog = Start(UiQuote(arg), Window::Divide);
        ASSERT_TRUE(dialog);
        EXPECT_EQ("", UiToUtf8(UiGetItemText(dialog, IDC_FILE)));
        CloseAndExpectZero(proc_, dialog);
    }
}

// ---------------------------------------------------------------- context menu

struct MenuSearch {
    DWORD pid;
    HWND menu;
};

BOOL CALLBACK FindMenuProc(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<MenuSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window) || UiGetClass(window) != L"#32768")
        return TRUE;
    search->menu = window;
    return FALSE;
}

HWND FindPopupMenuNow(const UiProc& proc)
{
    MenuSearch search = {proc.pid, nullptr};
    EnumWindows(FindMenuProc, reinterpret_cast<LPARAM>(&search));
    return search.menu;
}

// A menu belongs to its process: other processes cannot read its items. A
// hook of this test program placed in the program's thread reads them there
// and hands them over through shared memory, one item a line. Wine loads
// this program into the other one without binding its imports, so the hook
// reaches the system only through the two functions that the message it
// sees carries (system modules lie at the same address in every process).
const wchar_t kMenuTextsName[] = L"Local\\SundrelTestMenuTexts";
const int kMenuTextsChars = 512;

using GetProcAddressFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);
using GetModuleHandleFn = HMODULE(WINAPI*)(LPCWSTR);

template <typename Fn>
Fn Proc(GetProcAddressFn getProc, HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(getProc(module, name)));
}

LRESULT CALLBACK ReadMenuHook(int code, WPARAM, LPARAM lParam)
{
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code != HC_ACTION || msg->message != WM_NULL || !msg->wParam || !msg->lParam) return 0;
    auto getProc = reinterpret_cast<GetProcAddressFn>(msg->wParam);
    auto getModule = reinterpret_cast<GetModuleHandleFn>(msg->lParam);
    HMODULE kernel = getModule(L"kernel32.dll");
    HMODULE user = getModule(L"user32.dll");
    auto openMapping = Proc<decltype(&OpenFileMappingW)>(getProc, kernel, "OpenFileMappingW");
    auto mapView = Proc<decltype(&MapViewOfFile)>(getProc, kernel, "MapViewOfFile");
    auto unmapView = Proc<decltype(&UnmapViewOfFile)>(getProc, kernel, "UnmapViewOfFile");
    auto closeHandle = Proc<decltype(&CloseHandle)>(getProc, kernel, "CloseHandle");
    auto sendMessage = Proc<decltype(&SendMessageW)>(getProc, user, "SendMessageW");
    auto itemCount = Proc<decltype(&GetMenuItemCount)>(getProc, user, "GetMenuItemCount");
    auto itemText = Proc<decltype(&GetMenuStringW)>(getProc, user, "GetMenuStringW");

    HANDLE mapping = openMapping(FILE_MAP_WRITE, FALSE, kMenuTextsName);
    if (!mapping) return 0;
    auto* out = static_cast<wchar_t*>(mapView(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (out && out[0] == L'\0') {
        auto menu = reinterpret_cast<HMENU>(sendMessage(msg->hwnd, MN_GETHMENU, 0, 0));
        int count = menu ? itemCount(menu) : 0;
        int at = 0;
        for (int i = 0; i < count && at < kMenuTextsChars - 2; ++i) {
            at += itemText(menu, i, out + at, kMenuTextsChars - 1 - at, MF_BYPOSITION);
            out[at++] = L'\n';
        }
    }
    if (out) unmapView(out);
    closeHandle(mapping);
    return 0;
}

// The texts of the items of the open popup menu of the program.
std::vector<std::wstring> MenuItems(HWND menuWindow)
{
    std::vector<std::wstring> items;
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        kMenuTextsChars * sizeof(wchar_t), kMenuTextsName);
    if (!mapping) {
        ADD_FAILURE() << UiToUtf8(UiErrorText(L"CreateFileMappingW"));
        return items;
    }
    auto* texts = static_cast<wchar_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    DWORD thread = GetWindowThreadProcessId(menuWindow, nullptr);
    HHOOK hook = texts ? SetWindowsHookExW(WH_GETMESSAGE, ReadMenuHook, GetModuleHandleW(nullptr), thread)
                       : nullptr;
    if (!hook) {
        ADD_FAILURE() << UiToUtf8(UiErrorText(L"cannot hook the program's thread"));
    } else {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        auto getProc = reinterpret_cast<WPARAM>(GetProcAddress(kernel, "GetProcAddress"));
        auto getModule = reinterpret_cast<LPARAM>(GetProcAddress(kernel, "GetModuleHandleW"));
        bool read = UiWaitFor([&] {
            PostMessageW(menuWindow, WM_NULL, getProc, getModule);
            return texts[0] != L'\0';
        }, 5000);
        if (!read) ADD_FAILURE() << "the hook read no menu items";
        UnhookWindowsHookEx(hook);
        std::wstring all(texts, wcsnlen(texts, kMenuTextsChars));
        for (size_t start = 0, end; (end = all.find(L'\n', start)) != std::wstring::npos; start = end + 1)
            items.push_back(all.substr(start, end - start));
    }
    if (texts) UnmapViewOfFile(texts);
    CloseHandle(mapping);
    return items;
}

// A client point of the dialog that no visible child covers.
bool FreeSurfacePoint(HWND dialog, POINT* at)
{
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<RECT> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        children.push_back(r);
    }
    for (LONG y = 4; y < client.bottom - 4; y += 4) {
        for (LONG x = 4; x < client.right - 4; x += 4) {
            POINT p = {x, y};
            bool covered = false;
            for (const RECT& r : children) covered = covered || PtInRect(&r, p);
            if (!covered) {
                *at = p;
                return true;
            }
        }
    }
    return false;
}

// A right click at a client point of window, as the mouse gives it to that
// window.
void RightClick(HWND window, POINT at)
{
    LPARAM where = MAKELPARAM(at.x, at.y);
    POINT screen = at;
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, where);
    PostMessageW(window, WM_RBUTTONUP, 0, where);
}

void PostKey(HWND window, WPARAM key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

std::vector<std::wstring> OurItems()
{
    if (UiIsJapanese()) return {L"説明書表示", L"バージョン"};
    return {L"Show Document", L"Version"};
}

class ContextMenuTest : public StartupTest {
protected:
    HWND OpenDivide()
    {
        return Start(UiQuote(File(L"report.pdf")), Window::Divide);
    }

    HWND OpenMenu(HWND dialog)
    {
        POINT at;
        if (!FreeSurfacePoint(dialog, &at)) {
            ADD_FAILURE() << "the window has no free surface";
            return nullptr;
        }
        RightClick(dialog, at);
        HWND menu = nullptr;
        if (!UiWaitFor([&] { return (menu = FindPopupMenuNow(proc_)) != nullptr; }))
            ADD_FAILURE() << "no context menu after a right click at " << at.x << "," << at.y;
        return menu;
    }
};

TEST_F(ContextMenuTest, ContextMenuTexts)
{
    HWND dialog = OpenDivide();
    ASSERT_TRUE(dialog);
    HWND menu = OpenMenu(dialog);
    ASSERT_TRUE(menu);
    std::vector<std::string> items, expected;
    for (const std::wstring& item : MenuItems(menu)) items.push_back(UiToUtf8(item));
    for (const std::wstring& item : OurItems()) expected.push_back(UiToUtf8(item));
    EXPECT_EQ(expected, items);

    // Esc dismisses the menu and nothing else happens.
    PostKey(menu, VK_ESCAPE);
    EXPECT_TRUE(UiWaitFor([&] { return FindPopupMenuNow(proc_) == nullptr; }));
    Sleep(200);
    EXPECT_TRUE(UiIsRunning(proc_));
    EXPECT_EQ(1u, UiTopWindows(proc_.pid).size());
    CloseAndExpectZero(proc_, dialog);
}

// A control keeps its right clicks: an edit box may open a menu of its own,
// never the window's.
TEST_F(ContextMenuTest, RightClickOnAControlOpensNoMenu)
{
    HWND dialog = OpenDivide();
    ASSERT_TRUE(dialog);
    for (int id : {IDOK, IDC_OUTLOOK, IDC_FILE}) {
        SCOPED_TRACE(id);
        HWND control = UiItem(dialog, id);
        ASSERT_TRUE(control);
        RECT r;
        GetClientRect(control, &r);
        RightClick(control, POINT{r.right / 2, r.bottom / 2});
        HWND menu = nullptr;
        if (!UiWaitFor([&] { return (menu = FindPopupMenuNow(proc_)) != nullptr; }, 1000))
            continue;
        EXPECT_NE(OurItems(), MenuItems(menu));
        PostKey(menu, VK_ESCAPE);
        ASSERT_TRUE(UiWaitFor([&] { return FindPopupMenuNow(proc_) == nullptr; }));
    }
    // The window still answers: its free surface still opens the menu.
    HWND menu = OpenMenu(dialog);
    ASSERT_TRUE(menu);
    PostKey(menu, VK_ESCAPE);
    EXPECT_TRUE(UiWaitFor([&] { return FindPopupMenuNow(proc_) == nullptr; }));
    CloseAndExpectZero(proc_, dialog);
}

// An owned dialog of the process (the about box).
HWND FindOwnedDialogNow(const UiProc& proc, HWND owner)
{
    for (HWND window : UiTopWindows(proc.pid))
        if (UiGetClass(window) == L"#32770" && GetWindow(window, GW_OWNER) == owner) return window;
    return nullptr;
}

std::wstring AllTexts(HWND dialog)
{
    std::wstring texts = UiGetText(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        texts += L"\n" + UiGetText(child);
    return texts;
}

TEST_F(ContextMenuTest, VersionShowsTheAboutBoxTexts)
{
    HWND dialog = OpenDivide();
    ASSERT_TRUE(dialog);
    HWND menu = OpenMenu(dialog);
    ASSERT_TRUE(menu);
    PostKey(menu, VK_DOWN);
    PostKey(menu, VK_DOWN);
    PostKey(menu, VK_RETURN);
    HWND about = nullptr;
    ASSERT_TRUE(UiWaitFor([&] { return (about = FindOwnedDialogNow(proc_, dialog)) != nullptr; }))
        << "no about box after choosing the second item";
    std::string texts = UiToUtf8(AllTexts(about));
    EXPECT_NE(std::string::npos, texts.find(SUNDREL_VERSION_TEXT)) << texts;
    EXPECT_NE(std::string::npos, texts.find("© 2024 Velmora")) << texts;
    EXPECT_NE(std::string::npos, texts.find(UiIsJapanese() ? "ファイル分割／統合" : "Sundrel / integrate"))
        << texts;
    EXPECT_EQ(UiIsJapanese() ? "バージョン情報" : "Version information", UiToUtf8(UiGetText(about)));

    ASSERT_TRUE(UiClick(about, IDOK));
    ASSERT_TRUE(UiWaitGone(about));
    EXPECT_TRUE(UiIsRunning(proc_));
    CloseAndExpectZero(proc_, dialog);
}

} // namespace

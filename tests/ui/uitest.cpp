// Windows side of the UI tests; see uitest.h.
#include "uitest.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

DWORD g_timeout = 20000;
const DWORD kPollMs = 25;
// Bound of one SendMessageTimeout to a window of the program under test.
const UINT kSendMs = 5000;

bool SendTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result)
{
    DWORD_PTR value = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendMs, &value))
        return false;
    if (result) *result = value;
    return true;
}

DWORD Effective(DWORD timeout) { return timeout == kUiDefault ? g_timeout : timeout; }

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH];
    DWORD len = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return L".";
    std::wstring folder(path, len);
    size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : folder.substr(0, slash);
}

// The child's environment block: ours with the overrides applied.
std::wstring BuildEnvironment(const std::vector<std::wstring>& overrides)
{
    std::vector<std::wstring> entries;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* p = block; p && *p; p += wcslen(p) + 1) entries.emplace_back(p);
    if (block) FreeEnvironmentStringsW(block);

    auto nameOf = [](const std::wstring& entry) {
        // Entries such as "=C:=C:\x" have their name after the first '='.
        size_t eq = entry.find(L'=', 1);
        std::wstring name = entry.substr(0, eq);
        std::transform(name.begin(), name.end(), name.begin(), ::towupper);
        return name;
    };
    for (const std::wstring& extra : overrides) {
        std::wstring name = nameOf(extra);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const std::wstring& e) { return nameOf(e) == name; }),
                      entries.end());
        entries.push_back(extra);
    }
    std::sort(entries.begin(), entries.end(), [&](const std::wstring& a, const std::wstring& b) {
        return nameOf(a) < nameOf(b);
    });
    std::wstring result;
    for (const std::wstring& entry : entries) {
        result += entry;
        result.push_back(L'\0');
    }
    result.push_back(L'\0');
    return result;
}

struct FindDialogArgs {
    DWORD pid;
    const wchar_t* caption;
    HWND found;
};

bool IsDialogClass(HWND window) { return UiGetClass(window) == L"#32770"; }

BOOL CALLBACK FindDialogProc(HWND window, LPARAM param)
{
    auto* args = reinterpret_cast<FindDialogArgs*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != args->pid || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) ||
        !IsDialogClass(window))
        return TRUE;
    if (args->caption && UiGetText(window) != args->caption) return TRUE;
    args->found = window;
    return FALSE;
}

BOOL CALLBACK CollectTopProc(HWND window, LPARAM param)
{
    auto* list = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == list->first && IsWindowVisible(window)) list->second.push_back(window);
    return TRUE;
}

// The message text of a message box: Windows gives it the id 0xFFFF, Wine
// the id 100; the icon is a static too, so look for one with text.
HWND MsgBoxTextControl(HWND box)
{
    for (int id : {0xFFFF, 100}) {
        HWND control = GetDlgItem(box, id);
        if (control && UiGetClass(control) == L"Static" &&
            (UiGetStyle(control) & SS_TYPEMASK) != SS_ICON)
            return control;
    }
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------- waiting

DWORD UiTimeout() { return g_timeout; }
void UiSetTimeout(DWORD ms) { g_timeout = ms; }

std::wstring UiErrorText(const wchar_t* what, const std::wstring& detail)
{
    DWORD error = GetLastError();
    std::wstring text = what;
    if (!detail.empty()) text += L" " + detail;
    text += L" (error " + std::to_wstring(error) + L")";
    return text;
}

bool UiWaitFor(const std::function<bool()>& condition, DWORD timeout)
{
    ULONGLONG end = GetTickCount64() + Effective(timeout);
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(kPollMs);
    }
}

// ---------------------------------------------------------------- programs

std::wstring UiBinDir() { return ModuleFolder(); }
std::wstring UiSundrelExe() { return UiJoin(UiBinDir(), L"Sundrel.exe"); }
std::wstring UiInstallerExe() { return UiJoin(UiBinDir(), L"SundrelInst.exe"); }
std::wstring UiUninstallerExe() { return UiJoin(UiBinDir(), L"SundrelUnInst.exe"); }
std::wstring UiCliExe() { return UiJoin(UiBinDir(), L"SundrelCli.exe"); }
std::wstring UiOutlookExe() { return UiJoin(UiBinDir(), L"outlook.exe"); }

UiProc::~UiProc()
{
    if (process && UiIsRunning(*this))
        ADD_FAILURE() << "program " << pid << " still ran at the end of the test; killed";
    UiKill(*this);
}

bool UiIsJapanese() { return GetUserDefaultUILanguage() == QOC_LANG_JAPANESE; }

std::wstring UiQuote(const std::wstring& text) { return L"\"" + text + L"\""; }

bool UiStart(UiProc& proc, const std::wstring& exe, const std::wstring& args,
             const UiLaunch& launch)
{
    UiKill(proc);
    std::wstring cmdLine = UiQuote(exe);
    if (!args.empty()) cmdLine += L" " + args;

    std::wstring envBlock;
    if (!launch.env.empty()) envBlock = BuildEnvironment(launch.env);

    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &cmdLine[0], nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT,
                        envBlock.empty() ? nullptr : &envBlock[0],
                        launch.workDir.empty() ? nullptr : launch.workDir.c_str(), &si, &pi)) {
        ADD_FAILURE() << UiToUtf8(UiErrorText(L"cannot start", cmdLine));
        return false;
    }
    CloseHandle(pi.hThread);
    proc.process = pi.hProcess;
    proc.pid = pi.dwProcessId;
    return true;
}

bool UiIsRunning(const UiProc& proc)
{
    return proc.process && WaitForSingleObject(proc.process, 0) == WAIT_TIMEOUT;
}

bool UiWaitExit(UiProc& proc, DWORD* exitCode, DWORD timeout)
{
    if (!proc.process) {
        ADD_FAILURE() << "no program to wait for";
        return false;
    }
    DWORD ms = Effective(timeout);
    if (WaitForSingleObject(proc.process, ms) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "program " << proc.pid << " did not end within " << ms << " ms; killed";
        UiKill(proc);
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(proc.process, &code);
    if (exitCode) *exitCode = code;
    CloseHandle(proc.process);
    proc.process = nullptr;
    return true;
}

void UiKill(UiProc& proc)
{
    if (!proc.process) return;
    if (WaitForSingleObject(proc.process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(proc.process, 255);
        WaitForSingleObject(proc.process, 5000);
    }
    CloseHandle(proc.process);
    proc.process = nullptr;
}

// ---------------------------------------------------------------- windows

HWND UiFindDialogNow(const UiProc& proc, const wchar_t* caption)
{
    FindDialogArgs args = {proc.pid, caption, nullptr};
    EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

HWND UiFindDialog(const UiProc& proc, const wchar_t* caption, DWORD timeout)
{
    HWND found = nullptr;
    UiWaitFor([&] {
        found = UiFindDialogNow(proc, caption);
        return found != nullptr || !UiIsRunning(proc);
    }, timeout);
    if (!found) {
        std::wstring seen;
        for (HWND window : UiTopWindows(proc.pid))
            seen += L" [" + UiGetClass(window) + L" \"" + UiGetText(window) + L"\"]";
        ADD_FAILURE() << "no dialog" << (caption ? " \"" + UiToUtf8(caption) + "\"" : "")
                      << " of program " << proc.pid
                      << (UiIsRunning(proc) ? "" : " (it has ended)")
                      << "; its windows:" << UiToUtf8(seen);
    }
    return found;
}

std::vector<HWND> UiTopWindows(DWORD pid)
{
    std::pair<DWORD, std::vector<HWND>> list(pid, {});
    EnumWindows(CollectTopProc, reinterpret_cast<LPARAM>(&list));
    return list.second;
}

HWND UiFindFolderWindow(const std::wstring& name)
{
    std::pair<std::wstring, HWND> search(name, nullptr);
    EnumWindows([](HWND window, LPARAM param) -> BOOL {
        auto* wanted = reinterpret_cast<std::pair<std::wstring, HWND>*>(param);
        if (IsWindowVisible(window) && UiGetClass(window) == L"ExplorerWClass" &&
            UiGetText(window) == wanted->first)
            wanted->second = window;
        return wanted->second == nullptr;
    }, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

std::wstring UiGetText(HWND window)
{
    DWORD_PTR len = 0;
    if (!window || !SendTimeout(window, WM_GETTEXTLENGTH, 0, 0, &len)) return L"";
    std::wstring text(len + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), &got))
        return L"";
    text.resize(std::min<size_t>(got, len));
    return text;
}

HWND UiItem(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) ADD_FAILURE() << "no control " << id << " in the dialog";
    return control;
}

std::wstring UiGetItemText(HWND dialog, int id) { return UiGetText(UiItem(dialog, id)); }

int UiGetCheck(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    HWND control = UiItem(dialog, id);
    if (!control || !SendTimeout(control, BM_GETCHECK, 0, 0, &state)) return -1;
    return static_cast<int>(state);
}

bool UiIsEnabled(HWND dialog, int id)
{
    HWND control = UiItem(dialog, id);
    return control && IsWindowEnabled(control);
}

bool UiIsVisible(HWND dialog, int id)
{
    HWND control = UiItem(dialog, id);
    return control && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE);
}

std::wstring UiGetClass(HWND window)
{
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

LONG UiGetStyle(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

std::wstring UiGetComboText(HWND dialog, int id) { return UiGetItemText(dialog, id); }

std::vector<std::wstring> UiGetComboItems(HWND dialog, int id)
{
    std::vector<std::wstring> items;
    HWND combo = UiItem(dialog, id);
    DWORD_PTR count = 0;
    if (!combo || !SendTimeout(combo, CB_GETCOUNT, 0, 0, &count)) return items;
    for (int i = 0; i < static_cast<int>(static_cast<LRESULT>(count)); ++i) {
        DWORD_PTR len = 0;
        if (!SendTimeout(combo, CB_GETLBTEXTLEN, i, 0, &len) || static_cast<LRESULT>(len) < 0)
            break;
        std::wstring text(len + 1, L'\0');
        DWORD_PTR got = 0;
        SendTimeout(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]), &got);
        text.resize(wcslen(text.c_str()));
        items.push_back(text);
    }
    return items;
}

// ---------------------------------------------------------------- input

bool UiPostCommand(HWND dialog, int id, WORD code)
{
    HWND control = GetDlgItem(dialog, id);
    if (!PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control))) {
        ADD_FAILURE() << UiToUtf8(UiErrorText(L"cannot post a command", std::to_wstring(id)));
        return false;
    }
    return true;
}

bool UiClick(HWND dialog, int id) { return UiPostCommand(dialog, id, BN_CLICKED); }

bool UiPressButton(HWND dialog, int id)
{
    HWND control = UiItem(dialog, id);
    if (!control) return false;
    if (!PostMessageW(control, BM_CLICK, 0, 0)) {
        ADD_FAILURE() << UiToUtf8(UiErrorText(L"cannot press button", std::to_wstring(id)));
        return false;
    }
    return true;
}

bool UiSetCheck(HWND dialog, int id, bool checked, DWORD timeout)
{
    int wanted = checked ? BST_CHECKED : BST_UNCHECKED;
    if (UiGetCheck(dialog, id) == wanted) return true;
    if (!UiPressButton(dialog, id)) return false;
    if (!UiWaitFor([&] { return UiGetCheck(dialog, id) == wanted; }, timeout)) {
        ADD_FAILURE() << "button " << id << " did not become " << (checked ? "ticked" : "cleared");
        return false;
    }
    return true;
}

bool UiSetItemText(HWND dialog, int id, const std::wstring& text)
{
    HWND control = UiItem(dialog, id);
    DWORD_PTR ok = 0;
    if (!control || !SendTimeout(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok)) {
        ADD_FAILURE() << "cannot set the text of control " << id;
        return false;
    }
    return true;
}

bool UiWaitItemText(HWND dialog, int id, const std::wstring& text, DWORD timeout)
{
    if (UiWaitFor([&] { return UiGetItemText(dialog, id) == text; }, timeout)) return true;
    ADD_FAILURE() << "control " << id << " shows \"" << UiToUtf8(UiGetItemText(dialog, id))
                  << "\", expected \"" << UiToUtf8(text) << "\"";
    return false;
}

bool UiWaitGone(HWND window, DWORD timeout)
{
    if (UiWaitFor([&] { return !IsWindow(window); }, timeout)) return true;
    ADD_FAILURE() << "window \"" << UiToUtf8(UiGetText(window)) << "\" did not close";
    return false;
}

// ---------------------------------------------------------------- message boxes

bool UiFindMsgBoxNow(const UiProc& proc, UiMsgBox* box, HWND except)
{
    for (HWND window : UiTopWindows(proc.pid)) {
        if (window == except || !IsDialogClass(window)) continue;
        HWND textControl = MsgBoxTextControl(window);
        if (!textControl) continue;
        box->window = window;
        box->caption = UiGetText(window);
        box->text = UiGetText(textControl);
        return true;
    }
    return false;
}

bool UiWaitMsgBox(const UiProc& proc, UiMsgBox* box, HWND except, DWORD timeout)
{
    *box = UiMsgBox();
    bool found = UiWaitFor([&] {
        return UiFindMsgBoxNow(proc, box, except) || !UiIsRunning(proc);
    }, timeout);
    if (found && box->window) return true;
    ADD_FAILURE() << "no message box of program " << proc.pid
                  << (UiIsRunning(proc) ? "" : " (it has ended)");
    return false;
}

bool UiAnswerMsgBox(const UiMsgBox& box, int answer, DWORD timeout)
{
    if (!box.window) return false;
    if (!PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(box.window, answer)))) {
        ADD_FAILURE() << "cannot answer the message box \"" << UiToUtf8(box.caption) << "\"";
        return false;
    }
    return UiWaitGone(box.window, timeout);
}

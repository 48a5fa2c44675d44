// Drives the real programs from a test as a user would: starts them, finds
// their dialogs, reads and changes controls, answers message boxes and waits
// for the exit. Every wait polls with a timeout and reports a failure through
// GoogleTest; nothing here can hang a test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "qoc_shared.h"

// ---------------------------------------------------------------- waiting
// Default timeout of every wait, in milliseconds (20 s).
DWORD UiTimeout();
void UiSetTimeout(DWORD ms);
// Pass as timeout to use UiTimeout().
constexpr DWORD kUiDefault = 0;

// Polls condition until it is true or timeout ms have passed.
bool UiWaitFor(const std::function<bool()>& condition, DWORD timeout = kUiDefault);
// "what detail (error N)" with GetLastError, for failure messages.
std::wstring UiErrorText(const wchar_t* what, const std::wstring& detail = L"");

// ---------------------------------------------------------------- programs
// Folder of the running test program; the programs under test lie beside it.
std::wstring UiBinDir();
std::wstring UiSundrelExe();
std::wstring UiInstallerExe();
std::wstring UiUninstallerExe();
std::wstring UiCliExe();
std::wstring UiOutlookExe();

// A started program. The destructor kills it if it still runs, so that a
// failed assertion leaves nothing behind.
struct UiProc {
    HANDLE process = nullptr;
    DWORD pid = 0;
    UiProc() = default;
    UiProc(const UiProc&) = delete;
    UiProc& operator=(const UiProc&) = delete;
    ~UiProc();
};

struct UiLaunch {
    // Extra "NAME=value" entries for the child's environment; a NAME that is
    // already set is replaced.
    std::vector<std::wstring> env;
    // Working folder of the child; empty: the test's own.
    std::wstring workDir;
};

// True when the programs run with the Japanese user-interface language. Wine
// takes it from the Unix locale (LC_ALL) that the test run was started with;
// a child's environment cannot change it.
bool UiIsJapanese();

// "text" in double quotes, for command lines.
std::wstring UiQuote(const std::wstring& text);
// Starts exe with args (appended after the quoted program path as given).
bool UiStart(UiProc& proc, const std::wstring& exe, const std::wstring& args,
             const UiLaunch& launch = UiLaunch());
// Waits for the program to end and gives its exit code. On timeout the
// program is killed and the test fails.
bool UiWaitExit(UiProc& proc, DWORD* exitCode, DWORD timeout = kUiDefault);
bool UiIsRunning(const UiProc& proc);
// Ends the program at once (no failure is reported) and releases it.
void UiKill(UiProc& proc);

// ---------------------------------------------------------------- windows
// The process's visible top-level dialog (#32770) without an owner; with a
// caption, only one whose caption is exactly that. Null (and a test failure)
// on timeout.
HWND UiFindDialog(const UiProc& proc, const wchar_t* caption = nullptr,
                  DWORD timeout = kUiDefault);
// The same without failing: null when there is none right now.
HWND UiFindDialogNow(const UiProc& proc, const wchar_t* caption = nullptr);
// Every visible top-level window of the process.
std::vector<HWND> UiTopWindows(DWORD pid);
// The window in which Wine shows an opened folder: an explorer window named
// after the folder. Null when there is none right now.
HWND UiFindFolderWindow(const std::wstring& name);

std::wstring UiGetText(HWND window);   // caption of a window, text of a control
std::wstring UiGetItemText(HWND dialog, int id);
HWND UiItem(HWND dialog, int id);      // the control; a test failure when missing
int UiGetCheck(HWND dialog, int id);   // BST_UNCHECKED, BST_CHECKED, ...; -1 when missing
bool UiIsEnabled(HWND dialog, int id);
bool UiIsVisible(HWND dialog, int id);
std::wstring UiGetClass(HWND window);
LONG UiGetStyle(HWND window);

// Combo boxes: text of the edit field and the items of the list.
std::wstring UiGetComboText(HWND dialog, int id);
std::vector<std::wstring> UiGetComboItems(HWND dialog, int id);

// ---------------------------------------------------------------- input
// A click on button id as the dialog sees it: posted WM_COMMAND BN_CLICKED.
// Posted, never sent, so that a modal box opened by the handler cannot block
// the test.
bool UiClick(HWND dialog, int id);
// A posted WM_COMMAND with any notification code.
bool UiPostCommand(HWND dialog, int id, WORD code = BN_CLICKED);
// A mouse click on the control itself (posted BM_CLICK): an automatic check
// box or radio button changes its state and notifies its parent.
bool UiPressButton(HWND dialog, int id);
// Brings check box or radio button id to the state (pressing it when it
// differs) and waits until it shows it.
bool UiSetCheck(HWND dialog, int id, bool checked, DWORD timeout = kUiDefault);
// Sets the text of an edit or combo box (WM_SETTEXT; the control notifies its
// parent as when typing).
bool UiSetItemText(HWND dialog, int id, const std::wstring& text);
// Waits until control id shows text.
bool UiWaitItemText(HWND dialog, int id, const std::wstring& text, DWORD timeout = kUiDefault);
// Waits until the window is gone.
bool UiWaitGone(HWND window, DWORD timeout = kUiDefault);

// ---------------------------------------------------------------- message boxes
struct UiMsgBox {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
};
// Waits for a message box of the process (a dialog with a message text),
// other than the window except. Fails the test on timeout.
bool UiWaitMsgBox(const UiProc& proc, UiMsgBox* box, HWND except = nullptr,
                  DWORD timeout = kUiDefault);
// A message box of the process right now; false when there is none.
bool UiFindMsgBoxNow(const UiProc& proc, UiMsgBox* box, HWND except = nullptr);
// Presses IDOK, IDYES, IDNO or IDCANCEL of the box and waits until it closes.
bool UiAnswerMsgBox(const UiMsgBox& box, int answer, DWORD timeout = kUiDefault);

// ---------------------------------------------------------------- files
// A new empty folder for one test, under %TEMP%; remove it with UiRemoveTree.
std::wstring UiMakeTempDir(const wchar_t* prefix = L"sundrel-test");
// Appends name to folder with one backslash.
std::wstring UiJoin(const std::wstring& folder, const std::wstring& name);
// A file of size bytes whose content follows from seed (the same seed gives
// the same bytes).
bool UiWriteFile(const std::wstring& path, uint64_t size, uint32_t seed = 1);
bool UiWriteBytes(const std::wstring& path, const std::string& bytes);
bool UiReadFile(const std::wstring& path, std::string* bytes);
bool UiFileExists(const std::wstring& path);
bool UiDirExists(const std::wstring& path);
// -1 when the file cannot be read.
int64_t UiFileSize(const std::wstring& path);
// Names (not paths) of the files in folder matching pattern, sorted.
std::vector<std::wstring> UiListFiles(const std::wstring& folder, const wchar_t* pattern = L"*");
// Deletes folder with everything in it, read-only files included.
bool UiRemoveTree(const std::wstring& folder);
// The lines of a UTF-8 text file as UTF-16, line ends removed.
std::vector<std::wstring> UiReadLines(const std::wstring& path);
// The command lines that the stand-in outlook.exe logged, in the order in
// which it was started.
std::vector<std::wstring> UiReadOutlookStarts(const std::wstring& log);
std::wstring UiFromUtf8(const std::string& text);
std::string UiToUtf8(const std::wstring& text);

// ---------------------------------------------------------------- registry
// The user's profile key HKCU\QOC_PROFILE_KEY and the machine key
// HKLM\QOC_PROFILE_KEY; section is a subkey such as QOC_SETTING_SECTION.
bool UiRegSetDword(const wchar_t* name, DWORD value,
                   const wchar_t* section = QOC_SETTING_SECTION);
bool UiRegSetString(const wchar_t* name, const std::wstring& value,
                    const wchar_t* section = QOC_SETTING_SECTION);
bool UiRegGetDword(const wchar_t* name, DWORD* value,
                   const wchar_t* section = QOC_SETTING_SECTION);
bool UiRegGetString(const wchar_t* name, std::wstring* value,
                    const wchar_t* section = QOC_SETTING_SECTION);
bool UiRegDeleteValue(const wchar_t* name, const wchar_t* section = QOC_SETTING_SECTION);
// Deletes the user's whole profile key, so that a program starts from defaults.
bool UiRegResetUser();
bool UiRegSetMachineString(const wchar_t* name, const std::wstring& value);
bool UiRegGetMachineString(const wchar_t* name, std::wstring* value);
// Deletes the machine-wide key.
bool UiRegResetMachine();

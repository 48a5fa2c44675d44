// demo_driver.exe: runs Sundrel.exe as a user would, for the demo and the
// benchmark. It starts the program, waits for its window, can take
// screenshots, presses Start (or closes the window), reads and answers every
// message box and waits for the end.
//
//   demo_driver.exe SUNDREL_EXE [FILE] [--shot F.bmp] [--running-shot F.bmp]
//                   [--message-shot F.bmp] [--start | --close] [--timeout SECONDS]
//
// Prints "window:", "file:", "message:", "elapsed:" (from the posted command
// until the window is gone) and "exit:" lines in UTF-8.
// Exit code: 0 the program ended without a message box, 2 it showed one,
// 1 the driver failed (no window, timeout).
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

namespace {

const int kFileEditId = 1011;
const int kProgressId = 1013;
const int kMessageTextId = 0xFFFF;   // static text of a standard message box

void Print(const std::wstring& line)
{
    std::wstring text = line + L"\n";
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0,
                                    nullptr, nullptr);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &utf8[0], bytes, nullptr,
                        nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), (DWORD)utf8.size(), &written, nullptr);
}

// Line breaks of a message shown as "\n", so that one message is one line.
std::wstring OneLine(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\r') continue;
        if (c == L'\n') out += L"\\n";
        else out += c;
    }
    return out;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = L"";
    // A hung program must not hang the driver.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, nullptr);
    text[1023] = L'\0';
    return text;
}

bool IsDialogClass(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return wcscmp(name, L"#32770") == 0;
}

struct TopWindows {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param)
{
    TopWindows* top = (TopWindows*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == top->pid && IsWindowVisible(window) && IsDialogClass(window))
        top->found.push_back(window);
    return TRUE;
}

std::vector<HWND> VisibleDialogs(DWORD pid)
{
    TopWindows top = {pid, {}};
    EnumWindows(CollectTopWindow, (LPARAM)&top);
    return top.found;
}

HWND MainDialog(DWORD pid)
{
    for (HWND window : VisibleDialogs(pid))
        if (GetWindow(window, GW_OWNER) == nullptr && GetDlgItem(window, kMessageTextId) == nullptr)
            return window;
    return nullptr;
}

HWND MessageBoxOf(DWORD pid)
{
    for (HWND window : VisibleDialogs(pid))
        if (GetDlgItem(window, kMessageTextId) != nullptr)
            return window;
    return nullptr;
}

// Writes the screen area of the window as a 24-bit BMP. settle: bring it to
// the front and let it repaint first (not while an operation runs, which
// repaints only between blocks).
bool SaveScreenshot(HWND window, const std::wstring& path, bool settle = true)
{
    if (settle) {
        SetForegroundWindow(window);   // an active caption, as the user sees it
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(400);
    }
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;   // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
        SelectObject(memory, old);
        GdiFlush();
    }
    if (ok) {
        DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
        DWORD imageSize = stride * (DWORD)height;
        BITMAPFILEHEADER head = {};
        head.bfType = 0x4D42;
        head.bfOffBits = sizeof head + sizeof info.bmiHeader;
        head.bfSize = head.bfOffBits + imageSize;
        info.bmiHeader.biSizeImage = imageSize;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD done = 0;
        ok = file != INVALID_HANDLE_VALUE &&
             WriteFile(file, &head, sizeof head, &done, nullptr) &&
             WriteFile(file, &info.bmiHeader, sizeof info.bmiHeader, &done, nullptr) &&
             WriteFile(file, bits, imageSize, &done, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!ok) Print(L"screenshot failed: " + path);
    return ok;
}

// Presses the first push button of a message box (OK, or Yes of a question).
void AnswerMessageBox(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = L"";
        GetClassNameW(child, name, 32);
        int id = GetDlgCtrlID(child);
        if (_wcsicmp(name, L"Button") == 0 && id > 0 && id < 100) {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)child);
            return;
        }
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

struct Options {
    std::wstring exe, file, shot, runningShot, messageShot;
    bool start = false, close = false;
    DWORD timeoutMs = 600000;
};

bool ParseOptions(int argc, wchar_t** argv, Options* options)
{
    std::vector<std::wstring> plain;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == L"--start") options->start = true;
        else if (arg == L"--close") options->close = true;
        else if (arg == L"--shot" && hasValue) options->shot = argv[++i];
        else if (arg == L"--running-shot" && hasValue) options->runningShot = argv[++i];
        else if (arg == L"--message-shot" && hasValue) options->messageShot = argv[++i];
        else if (arg == L"--timeout" && hasValue) options->timeoutMs = (DWORD)_wtoi(argv[++i]) * 1000;
        else if (arg.rfind(L"--", 0) == 0) return false;
        else plain.push_back(arg);
    }
    if (plain.empty() || plain.size() > 2) return false;
    options->exe = plain[0];
    if (plain.size() == 2) options->file = plain[1];
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        Print(L"usage: demo_driver SUNDREL_EXE [FILE] [--shot F.bmp] [--running-shot F.bmp] "
              L"[--message-shot F.bmp] [--start | --close] [--timeout SECONDS]");
        return 1;
    }
    std::wstring cmdLine = L"\"" + options.exe + L"\"";
    if (!options.file.empty()) cmdLine += L" \"" + options.file + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(options.exe.c_str(), &cmdLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi)) {
        Print(L"cannot start " + cmdLine);
        return 1;
    }
    CloseHandle(pi.hThread);

    HWND dialog = nullptr;
    ULONGLONG until = GetTickCount64() + 30000;
    while ((dialog = MainDialog(pi.dwProcessId)) == nullptr && GetTickCount64() < until &&
           WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT) {
    }
    if (dialog == nullptr) {
        Print(L"no window appeared");
        TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hProcess);
        return 1;
    }
    WaitForInputIdle(pi.hProcess, 5000);
    Print(L"window: " + WindowText(dialog));
    if (GetDlgItem(dialog, kFileEditId) != nullptr)
        Print(L"file: " + WindowText(GetDlgItem(dialog, kFileEditId)));
    if (!options.shot.empty()) SaveScreenshot(dialog, options.shot);

    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (options.start)
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    else if (options.close)
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);

    // Wait for the end; answer message boxes on the way. The running shot
    // is taken once the progress bar shows a good part of the work. The
    // work is over when the window is gone (every operation ends by
    // destroying it); the process takes a moment longer to exit.
    bool messageShown = false, runningShotTaken = options.runningShot.empty();
    until = GetTickCount64() + options.timeoutMs;
    ULONGLONG nextBoxLook = 0;
    bool ended = false, windowGone = false;
    LARGE_INTEGER gone = {};
    while (!(ended = WaitForSingleObject(pi.hProcess, 5) == WAIT_OBJECT_0)) {
        if (GetTickCount64() >= until) break;
        if (!windowGone && !IsWindow(dialog)) {
            QueryPerformanceCounter(&gone);
            windowGone = true;
        }
        if (!runningShotTaken && !windowGone) {
            HWND bar = GetDlgItem(dialog, kProgressId);
            DWORD_PTR pos = 0;
            if (bar != nullptr && IsWindowVisible(bar) &&
                SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 500, &pos) && pos >= 25) {
                SaveScreenshot(dialog, options.runningShot, false);
                runningShotTaken = true;
            }
        }
        if (GetTickCount64() < nextBoxLook) continue;
        nextBoxLook = GetTickCount64() + 100;
        HWND box = MessageBoxOf(pi.dwProcessId);
        if (box != nullptr) {
            Sleep(300);   // let it paint before the shot
            Print(L"message: " + WindowText(box) + L": " +
                  OneLine(WindowText(GetDlgItem(box, kMessageTextId))));
            if (!messageShown && !options.messageShot.empty())
                SaveScreenshot(box, options.messageShot);
            messageShown = true;
            AnswerMessageBox(box);
            ULONGLONG boxUntil = GetTickCount64() + 5000;
            while (IsWindow(box) && IsWindowVisible(box) && GetTickCount64() < boxUntil) Sleep(20);
        }
    }
    QueryPerformanceCounter(&end);
    if (!ended) {
        Print(L"timeout: the program did not end");
        TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hProcess);
        return 1;
    }
    if (!windowGone) gone = end;
    DWORD exitCode = 0;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hProcess);
    wchar_t line[96];
    swprintf(line, 96, L"elapsed: %.3f s (process ended after %.3f s)",
             (double)(gone.QuadPart - begin.QuadPart) / frequency.QuadPart,
             (double)(end.QuadPart - begin.QuadPart) / frequency.QuadPart);
    Print(line);
    swprintf(line, 96, L"exit: %lu", exitCode);
    Print(line);
    return messageShown ? 2 : 0;
}

// Test stand-in for outlook.exe: appends its command line to a log, one line
// per start, so that UI tests can see how Sundrel started it. Each line
// begins with the process's creation time (16 hex digits and a blank):
// starts that follow each other quickly run side by side and may log in any
// order, and the time tells the order in which they were started.
#include <windows.h>

namespace {

// The log named by SUNDREL_OUTLOOK_LOG, else outlook.log beside this program.
bool GetLogPath(wchar_t* path, DWORD size)
{
    DWORD len = GetEnvironmentVariableW(L"SUNDREL_OUTLOOK_LOG", path, size);
    if (len > 0 && len < size) return true;
    len = GetModuleFileNameW(nullptr, path, size);
    if (len == 0 || len >= size) return false;
    wchar_t* slash = wcsrchr(path, L'\\');
    wchar_t* name = slash ? slash + 1 : path;
    static const wchar_t kLogName[] = L"outlook.log";
    if ((size_t)(name - path) + ARRAYSIZE(kLogName) > size) return false;
    memcpy(name, kLogName, sizeof kLogName);
    return true;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t logPath[MAX_PATH];
    if (!GetLogPath(logPath, MAX_PATH)) return 1;

    FILETIME created, unused;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &unused, &unused, &unused)) return 1;
    const int kStampLen = 17;   // 16 hex digits and a blank
    const wchar_t* cmdLine = GetCommandLineW();
    int wideLen = (int)wcslen(cmdLine);
    int cmdLen = WideCharToMultiByte(CP_UTF8, 0, cmdLine, wideLen, nullptr, 0, nullptr, nullptr);
    int utf8Len = kStampLen + cmdLen;
    char* line = (char*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)utf8Len + 3);
    if (!line) return 1;
    wsprintfA(line, "%08lX%08lX ", created.dwHighDateTime, created.dwLowDateTime);
    WideCharToMultiByte(CP_UTF8, 0, cmdLine, wideLen, line + kStampLen, cmdLen, nullptr, nullptr);
    line[utf8Len] = '\r';
    line[utf8Len + 1] = '\n';

    // Several starts may come quickly one after another: retry while another
    // instance holds the log open.
    HANDLE log = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && log == INVALID_HANDLE_VALUE; ++attempt) {
        log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE) Sleep(20);
    }
    int rc = 1;
    if (log != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        if (WriteFile(log, line, (DWORD)utf8Len + 2, &written, nullptr) &&
            written == (DWORD)utf8Len + 2)
            rc = 0;
        CloseHandle(log);
    }
    HeapFree(GetProcessHeap(), 0, line);
    return rc;
}

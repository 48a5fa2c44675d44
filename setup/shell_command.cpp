#include "shell_command.h"

#include <stdio.h>
#include <wchar.h>

void RunShellCommand(const wchar_t* command)
{
    wchar_t interpreter[MAX_PATH];
    DWORD len = GetEnvironmentVariableW(L"ComSpec", interpreter, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        wcscpy_s(interpreter, L"cmd.exe");

    // "/c" followed by the command, which never begins with a quote, so the
    // interpreter keeps every quote inside it.
    wchar_t line[kShellCommandSize + MAX_PATH + 8];
    if (swprintf(line, ARRAYSIZE(line), L"\"%ls\" /c %ls", interpreter, command) < 0)
        return;

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

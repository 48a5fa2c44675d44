// Windows for the support layer's window tests: a parent that records the
// WM_COMMAND messages it gets, and controls placed in it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

struct RecordedCommand {
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<RecordedCommand>& RecordedCommands()
{
    static std::vector<RecordedCommand> commands;
    return commands;
}

inline LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) RecordedCommands().push_back({wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

inline HWND CreateRecordingParent()
{
    static ATOM atom;
    if (!atom) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecordingParentProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QocTestParent";
        atom = RegisterClassW(&wc);
    }
    RecordedCommands().clear();
    return CreateWindowExW(0, L"QocTestParent", L"test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

inline HWND AddControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
                       int cx, int cy, int id)
{
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

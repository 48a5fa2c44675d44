// Process-wide state of Sundrel.exe. One thread owns all of it.
#pragma once

#include <windows.h>

extern HINSTANCE g_hInst;
extern HICON g_hIcon;                  // icon 102, small icon of the windows
extern wchar_t g_szCmdFile[MAX_PATH];  // long form of the first argument
extern HWND g_hWndMain;
extern HWND g_hWndDivide;
extern HWND g_hWndMerge;
extern HWND g_hWndSetting;

// Set by a divide or merge while it runs; cancel is requested by Stop,
// Esc or the close box and tested by the operation between blocks.
extern int g_fOpRunning;
extern int g_fCancelReq;

// Dialog procedures of the three windows.
INT_PTR CALLBACK DivideDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK MergeDlgProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK SettingDlgProc(HWND, UINT, WPARAM, LPARAM);

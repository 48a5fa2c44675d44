#include "app.h"

HINSTANCE g_hInst;
HICON g_hIcon;
wchar_t g_szCmdFile[MAX_PATH];
HWND g_hWndMain;
HWND g_hWndDivide;
HWND g_hWndMerge;
HWND g_hWndSetting;
int g_fOpRunning;
int g_fCancelReq;

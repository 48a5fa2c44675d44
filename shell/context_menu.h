#pragma once

#include <windows.h>

// Right click on the free surface of a main window: the manual or the
// version dialog.
INT_PTR OnContextMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What the divide and merge windows share.
#pragma once

#include <windows.h>

// Stop: posts the cancel command, which arrives while the operation lets
// messages through between blocks.
INT_PTR OnStopCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Cancel, Esc and the close box: ask a running operation to stop, else close.
INT_PTR OnCancelCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Top-left corner at the mouse pointer, then kept within the monitor.
void PlaceWindowAtCursor(HWND window);
// Shows the file name of the command-line file, without its folder, in a control.
void ShowCommandFileName(HWND window, int id);
// Operation start and end: the Stop button and the progress bar.
void BeginOperation(HWND window);
void EndOperation(HWND window);

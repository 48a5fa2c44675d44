// The division: the command-line file into pieces.
#pragma once

#include <windows.h>

// Start command of the divide window.
INT_PTR DivideFile(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Deletes every file that pattern finds and whose name carries a piece
// marker, read-only ones too.
void DeletePieces(const wchar_t* pattern);

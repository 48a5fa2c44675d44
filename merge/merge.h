// The merge: gathers the pieces of the selected piece's division, verifies
// every block and writes the merged file.
#pragma once

#include <windows.h>

#include "qoc.h"

// Start command of the merge window.
INT_PTR RunMerge(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fills set with the full paths of the pieces of piecePath's division that
// lie beside it: named like its pieces, with its divide file ID, exactly one
// for each number 1 to count; each entry's data1 is its piece number.
// Returns 1 on success.
int CollectPieces(HQOCAVS set, const wchar_t* piecePath, int count);

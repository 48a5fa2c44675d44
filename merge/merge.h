// The merge: gathers the pieces of the selected piece's division, verifies
// every block and writes the merged file.
#pragma once

#include <windows.h>

#include "merge_plan.h"

// Start command of the merge window.
INT_PTR RunMerge(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The merge plan of piecePath's division, read from the folder beside it,
// whose path (ending with a separator) goes into folder (MAX_PATH).
sundrel::MergePlan<wchar_t> CollectPieces(const wchar_t* piecePath, wchar_t* folder);

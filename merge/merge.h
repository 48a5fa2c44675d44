// The merge: gathers the pieces of the selected piece's division, verifies
// every block and writes the merged file.
#pragma once

#include <windows.h>

#include "merge_plan.h"

// Start command of the merge window.
INT_PTR RunMerge(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The folder beside the selected piece as the merge plan reads it: the
// files named like its pieces, their first bytes and lengths, and any of
// them opened to read anywhere in.
class WindowsPieceFolder : public sundrel::PieceFolder<wchar_t> {
public:
    // folder ends with a separator and outlives this.
    explicit WindowsPieceFolder(const wchar_t* folder) : folder_(folder) {}
    bool ListCandidates(std::wstring_view dividedName, std::vector<std::wstring>* names) override;
    sundrel::FileHead ReadHead(std::wstring_view name) override;
    std::unique_ptr<sundrel::RandomSource> Open(std::wstring_view name) override;

private:
    const wchar_t* folder_;
};

// The merge plan of piecePath's division, read from the folder beside it,
// whose path (ending with a separator) goes into folder (MAX_PATH).
sundrel::MergePlan<wchar_t> CollectPieces(const wchar_t* piecePath, wchar_t* folder);

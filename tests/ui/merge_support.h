// What the merge tests share: a writer of pieces of their own (ID, blocks of
// 4,096 data bytes each followed by its CRC-16/X-25 low byte first),
// independent of the program, and a run of the merge window.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "uitest.h"

const size_t kBlock = 4096;
const size_t kMiB = 1 << 20;

// A message box text as the program formats it: 127 characters at most.
std::wstring Message(const wchar_t* en, const wchar_t* ja, const std::wstring& path = L"");

// ID, then every block of data with its FCS.
std::string PieceBytes(const std::string& data, uint32_t id);
// Bytes that follow from seed.
std::string Source(size_t size, uint32_t seed);
// divided + "(NN_of_MM).divide"
std::wstring PieceName(const std::wstring& divided, size_t number, size_t count);
// Writes the division of source into pieces of pieceSize data bytes, the last
// one first, and gives their paths in number order.
std::vector<std::wstring> WritePieces(const std::wstring& folder, const std::wstring& divided,
                                      const std::string& source, size_t pieceSize, uint32_t id);
std::string ReadAll(const std::wstring& path);
void Rewrite(const std::wstring& path, const std::function<void(std::string&)>& change);
// Files of folder that are not pieces.
std::vector<std::wstring> MergedFiles(const std::wstring& folder);

struct MergeOutcome {
    DWORD exitCode = 1;
    bool boxShown = false;
    std::wstring caption, text;
    std::wstring before, after;   // local time stamps (YYMMDD-HHMMSS) around the merge
};

// Every test starts with the merge settings cleared (merged file beside the
// pieces, no folder opened, no piece deleted) and a folder of its own.
class MergeTest : public ::testing::Test {
protected:
    std::wstring folder;

    void SetUp() override;
    void TearDown() override;

    static void Settings(DWORD fMrgDir, const std::wstring& mrgDir, DWORD fMrgOpen, DWORD fMrgRmv);
    // A folder of its own inside the test folder.
    std::wstring Subfolder(const std::wstring& name);
    // Starts Sundrel on piece, presses Start and answers the message box, if
    // one comes, with OK.
    MergeOutcome Merge(const std::wstring& piece);
    // A merge that succeeds: the one merged file in outFolder holds source
    // and carries the stamp of the merge. Gives its path.
    std::wstring ExpectMerged(const std::wstring& piece, const std::wstring& outFolder,
                              const std::wstring& name, const std::wstring& ext,
                              const std::string& source);
    // A merge that fails with text: no merged file, the pieces unchanged.
    void ExpectFailure(const std::wstring& piece, const std::wstring& text);
};

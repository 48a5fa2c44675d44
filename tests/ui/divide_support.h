// What the division tests share: the divide window run, an independent
// reader of the piece format, and the profile of a clean division.
#pragma once

#include "uitest.h"

#include <cstdint>
#include <string>

// A new test folder with an "out" folder in it; the profile is reset to
// divide into "out" with DivSize 1, stale pieces removed silently, no folder
// opened, and no Outlook known.
struct DivideFolders {
    std::wstring dir;
    std::wstring out;
};
DivideFolders PrepareDivision(const wchar_t* prefix);

// The text of the language the test run uses.
std::wstring Lang(const wchar_t* en, const wchar_t* ja);
// Caption of the division's message boxes.
std::wstring OpCaption();

// Starts Sundrel for file and gives its divide window (null and a failure
// when none appears).
HWND StartDivide(UiProc& proc, const std::wstring& file);
// Waits for the end of the run: a message box that shows up meanwhile fails
// the test (its text is reported) and is answered with OK.
void ExpectQuietExit(UiProc& proc);
// Start, press the start button, expect a quiet end with exit code 0.
void DivideQuietly(const std::wstring& file);

// Seconds since 1970 (UTC) now, as the divide file ID counts.
uint32_t UnixSecondsNow();

// Checks every piece of fileName in folder against the source bytes:
// names, count, equal IDs within [idLow, idHigh], block layout, each FCS,
// and the data. pieceSize in bytes.
void ExpectPieces(const std::wstring& folder, const std::wstring& fileName,
                  const std::string& source, uint64_t pieceSize, uint32_t idLow,
                  uint32_t idHigh);

// CRC-16/X-25 (reflected 0x8408, init and xorout 0xFFFF), written here
// independently of the program.
uint16_t TestFcs(const unsigned char* data, size_t len);

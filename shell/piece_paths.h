// Piece names as the Windows programs meet them: whole paths in path
// buffers of MAX_PATH characters. What a name is, is the piece format's
// (piece_names.h); this layer adds the folders, the buffers and the
// platform's digit test.
#pragma once

#include <windows.h>

#include <string_view>

// The digit test of piece markers: ASCII digits, superscript 1 to 3, and
// above U+00FF whatever GetStringTypeW calls a digit (fullwidth digits
// among them). It stays here because only the platform knows it; the
// format takes it as a parameter and reads a marker's count from ASCII
// digits only, so such a marker counts only where its count still reads
// as a number.
bool IsMarkerDigit(wchar_t c);

// folder + name into out (MAX_PATH characters). False, leaving out empty,
// when it does not fit: a cut path could name another file.
bool JoinFileName(const wchar_t* folder, std::wstring_view name, wchar_t* out);

// folder ends with a separator; ext is empty or starts with its dot. Both
// fail rather than cut, as JoinFileName.
bool FormatPieceName(const wchar_t* folder, const wchar_t* name, const wchar_t* ext,
                     unsigned number, unsigned count, wchar_t* out);
bool FormatPiecePattern(const wchar_t* folder, const wchar_t* name, const wchar_t* ext,
                        wchar_t* out);
// Recovery piece index of total beside count pieces.
bool FormatRecoveryName(const wchar_t* folder, const wchar_t* name, const wchar_t* ext,
                        unsigned count, unsigned index, unsigned total, wchar_t* out);

// For a piece path: the name of the divided file (name and extension),
// bounded by size, and the piece count. Only the file name counts, never
// its folders. False only for a name shorter than a marker.
bool GetDividedFileName(const wchar_t* piecePath, wchar_t* out, size_t size);
int PieceCountOf(const wchar_t* piecePath);

// The command-line path names a piece: extension ".divide" (any case) and
// a marker in the file name.
bool IsPiecePath(const wchar_t* path);

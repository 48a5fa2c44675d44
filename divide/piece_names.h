// Piece names: report.pdf(02_of_03).divide. The marker "(NN_of_MM)" carries
// the piece number and count; nothing inside a piece file repeats them.
#pragma once

#include <stddef.h>

// A piece: a 4-byte divide file ID, then blocks of at most 4096 data bytes,
// each followed by its 2-byte FCS.
const unsigned kPieceIdSize = 4;
const unsigned kBlockDataSize = 4096;
const unsigned kFcsSize = 2;

// Marker length: "(", 2 digits, "_of_", 2 digits, ")".
const size_t kMarkerLen = 10;
// Highest piece count that a two-digit marker can name.
const unsigned kMaxPieceCount = 99;

// folder ends with a separator; ext is empty or starts with its dot.
// Both return false, leaving out empty, when the path would not fit in
// MAX_PATH: a cut name must never be used.
bool FormatPieceName(const wchar_t* folder, const wchar_t* name, const wchar_t* ext,
                     unsigned number, unsigned count, wchar_t* out);
bool FormatPiecePattern(const wchar_t* folder, const wchar_t* name, const wchar_t* ext,
                        wchar_t* out);

// The count MM of a marker that begins at text[0], or 0.
int PieceMarkerAt(const wchar_t* text);
// The count of the leftmost marker with a non-zero count in text, or 0.
int FindPieceMarker(const wchar_t* text);
// Digits of a marker: ASCII, superscript 1-3 and Unicode decimal digits.
bool IsMarkerDigit(wchar_t c);

// For a piece path: the name of the divided file (name and extension) and
// the piece count. The marker that ends the name just before ".divide" is
// the piece's own; a name without one falls back to its leftmost marker.
// Folders never count. A name without a marker stays whole; false only for
// a name shorter than a marker.
bool GetDividedFileName(const wchar_t* piecePath, wchar_t* out, size_t size);
int PieceCountOf(const wchar_t* piecePath);

// True when fileName (no folder) is exactly dividedName + "(NN_of_MM)" +
// ".divide" (name and extension compared without regard to case), with
// NN and MM in ASCII digits; gives their values.
bool ParsePieceFileName(const wchar_t* fileName, const wchar_t* dividedName,
                        unsigned* number, unsigned* count);

// The command-line path names a piece: extension ".divide" (any case) and
// a marker in the name without that extension.
bool IsPiecePath(const wchar_t* path);

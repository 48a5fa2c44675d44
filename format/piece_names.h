// Piece names: report.pdf(02_of_03).divide. The marker "(NN_of_MM)" carries
// the piece number and count; nothing inside a piece file repeats them.
//
// Names are file names without a folder, in the caller's own characters:
// UTF-16 wchar_t on Windows, UTF-8 char elsewhere. Every function exists for
// both (explicit instantiations in piece_names.cpp).
//
// Which characters count as marker digits is the caller's: the default is
// the ASCII digits; the Windows programs pass the platform's wide digit test,
// under which fullwidth or superscript digits pass too. A marker's value is
// read from its ASCII digits only, so such a marker counts only where its
// count still reads as a number.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sundrel {

template <class C>
using DigitTest = bool (*)(C);

template <class C>
bool IsAsciiDigit(C c)
{
    return c >= C('0') && c <= C('9');
}

// "(", 2 digits, "_of_", 2 digits, ")".
constexpr size_t kMarkerLength = 10;

struct PieceNumber {
    unsigned number;
    unsigned count;
};

// The count MM of a marker that begins at text[0], or 0 (a count of 00 is no
// marker).
template <class C>
int PieceMarkerAt(std::basic_string_view<C> text, DigitTest<C> isDigit = IsAsciiDigit<C>);
// The count of the leftmost marker with a non-zero count in text, or 0.
template <class C>
int FindPieceMarker(std::basic_string_view<C> text, DigitTest<C> isDigit = IsAsciiDigit<C>);

// A file name without its last extension, and that extension with its dot
// (empty when there is none).
template <class C>
std::basic_string_view<C> StemOf(std::basic_string_view<C> fileName);
template <class C>
std::basic_string_view<C> ExtensionOf(std::basic_string_view<C> fileName);

// "report.pdf(02_of_03).divide" for the source "report.pdf", 2 and 3. A
// number of 100 or more gives three digits, which no reader accepts.
template <class C>
std::basic_string<C> PieceFileName(std::basic_string_view<C> sourceName, unsigned number,
                                   unsigned count);
// "report.pdf(*.divide": the wildcard that finds a source's pieces.
template <class C>
std::basic_string<C> PiecePatternName(std::basic_string_view<C> sourceName);

// For a piece's file name: the divided file's name (name and extension) and
// the piece count. The piece's own marker is the one that ends its stem; a
// stem without one falls back to its leftmost marker, and a stem without
// any stays whole. false only for a stem shorter than a marker.
template <class C>
bool DividedNameOf(std::basic_string_view<C> pieceFileName, std::basic_string_view<C>* dividedName,
                   DigitTest<C> isDigit = IsAsciiDigit<C>);
template <class C>
int PieceCountOfName(std::basic_string_view<C> pieceFileName,
                     DigitTest<C> isDigit = IsAsciiDigit<C>);

// True when fileName is exactly dividedName, a marker and ".divide" (name
// and extension compared without regard to ASCII case), with NN and MM in
// ASCII digits; gives their values. The collection and the stale-piece
// cleanup take only such names as pieces.
template <class C>
bool ParsePieceFileName(std::basic_string_view<C> fileName, std::basic_string_view<C> dividedName,
                        PieceNumber* piece);

// Recovery pieces: report.pdf(00_of_03).recovery-01-of-02.divide. The marker
// names no piece (there is no piece 00), so ParsePieceFileName never takes
// one for a piece; a marker it still has, so that opening it from the shell
// starts the merge of its set.
struct RecoveryNumber {
    unsigned count;   // pieces of the division
    unsigned index;   // this recovery piece, from 1
    unsigned total;   // recovery pieces of the division
};
template <class C>
std::basic_string<C> RecoveryFileName(std::basic_string_view<C> sourceName, unsigned count,
                                      unsigned index, unsigned total);
// True when fileName is exactly such a name of dividedName (compared as
// ParsePieceFileName compares), with 1 <= index <= total.
template <class C>
bool ParseRecoveryFileName(std::basic_string_view<C> fileName,
                           std::basic_string_view<C> dividedName, RecoveryNumber* recovery);

// A file name names a piece: extension ".divide" (any case) and a marker in
// the stem.
template <class C>
bool IsPieceFileName(std::basic_string_view<C> fileName, DigitTest<C> isDigit = IsAsciiDigit<C>);

}  // namespace sundrel

#include "piece_names.h"

#include "piece_layout.h"

namespace sundrel {

namespace {

constexpr char kPieceExt[] = ".divide";
constexpr size_t kPieceExtLength = 7;
constexpr char kRecoveryPart[] = ".recovery-";
constexpr size_t kRecoveryPartLength = 10;

template <class C>
C FoldAscii(C c)
{
    return c >= C('A') && c <= C('Z') ? C(c - 'A' + 'a') : c;
}

// ASCII text (a literal) against characters of either kind.
template <class C>
bool EqualsAscii(std::basic_string_view<C> text, const char* ascii, size_t length, bool foldCase)
{
    if (text.size() != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        C a = text[i], b = C(ascii[i]);
        if (foldCase ? FoldAscii(a) != FoldAscii(b) : a != b)
            return false;
    }
    return true;
}

template <class C>
bool EqualsFoldingAscii(std::basic_string_view<C> a, std::basic_string_view<C> b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

// Value of the leading ASCII digits.
template <class C>
int LeadingNumber(std::basic_string_view<C> text)
{
    int value = 0;
    for (size_t i = 0; i < text.size() && IsAsciiDigit(text[i]) && value < 100000; ++i)
        value = value * 10 + (text[i] - C('0'));
    return value;
}

template <class C>
void AppendTwoDigits(std::basic_string<C>& out, unsigned value)
{
    C digits[12];
    size_t n = 0;
    do {
        digits[n++] = C('0' + value % 10);
        value /= 10;
    } while (value);
    if (n < 2)
        digits[n++] = C('0');
    while (n)
        out += digits[--n];
}

template <class C>
void AppendAscii(std::basic_string<C>& out, const char* ascii)
{
    for (; *ascii; ++ascii)
        out += C(*ascii);
}

// Position of the piece's own marker in a stem: the one at its end, else the
// leftmost one; npos when there is none.
template <class C>
size_t PieceMarkerPos(std::basic_string_view<C> stem, DigitTest<C> isDigit)
{
    if (stem.size() < kMarkerLength)
        return std::basic_string_view<C>::npos;
    size_t end = stem.size() - kMarkerLength;
    if (PieceMarkerAt(stem.substr(end), isDigit))
        return end;
    for (size_t pos = 0; pos <= end; ++pos)
        if (PieceMarkerAt(stem.substr(pos), isDigit))
            return pos;
    return std::basic_string_view<C>::npos;
}

// Reads 2 or 3 ASCII digits at text[*pos]; moves *pos past them.
template <class C>
bool ReadNameNumber(std::basic_string_view<C> text, size_t* pos, unsigned* value)
{
    size_t start = *pos;
    *value = 0;
    while (*pos < text.size() && *pos - start < 3 && IsAsciiDigit(text[*pos]))
        *value = *value * 10 + unsigned(text[(*pos)++] - C('0'));
    return *pos - start >= 2 && (*pos == text.size() || !IsAsciiDigit(text[*pos]));
}

// Whether text at *pos starts with ascii; moves *pos past it.
template <class C>
bool SkipAscii(std::basic_string_view<C> text, size_t* pos, const char* ascii, size_t length,
               bool foldCase)
{
    if (text.size() - *pos < length ||
        !EqualsAscii(text.substr(*pos, length), ascii, length, foldCase))
        return false;
    *pos += length;
    return true;
}

}  // namespace

template <class C>
int PieceMarkerAt(std::basic_string_view<C> text, DigitTest<C> isDigit)
{
    if (text.size() < kMarkerLength)
        return 0;
    if (text[0] != C('(') || !isDigit(text[1]) || !isDigit(text[2]) ||
        !EqualsAscii(text.substr(3, 4), "_of_", 4, false) || !isDigit(text[7]) ||
        !isDigit(text[8]) || text[9] != C(')'))
        return 0;
    return LeadingNumber(text.substr(7, 2));
}

template <class C>
int FindPieceMarker(std::basic_string_view<C> text, DigitTest<C> isDigit)
{
    for (size_t pos = 0; pos + kMarkerLength <= text.size(); ++pos)
        if (int count = PieceMarkerAt(text.substr(pos), isDigit))
            return count;
    return 0;
}

template <class C>
std::basic_string_view<C> StemOf(std::basic_string_view<C> fileName)
{
    size_t dot = fileName.rfind(C('.'));
    return dot == std::basic_string_view<C>::npos ? fileName : fileName.substr(0, dot);
}

template <class C>
std::basic_string_view<C> ExtensionOf(std::basic_string_view<C> fileName)
{
    return fileName.substr(StemOf(fileName).size());
}

template <class C>
std::basic_string<C> PieceFileName(std::basic_string_view<C> sourceName, unsigned number,
                                   unsigned count)
{
    std::basic_string<C> name(sourceName);
    name += C('(');
    AppendTwoDigits(name, number);
    AppendAscii(name, "_of_");
    AppendTwoDigits(name, count);
    name += C(')');
    AppendAscii(name, kPieceExt);
    return name;
}

template <class C>
std::basic_string<C> PiecePatternName(std::basic_string_view<C> sourceName)
{
    std::basic_string<C> pattern(sourceName);
    AppendAscii(pattern, "(*");
    AppendAscii(pattern, kPieceExt);
    return pattern;
}

template <class C>
bool DividedNameOf(std::basic_string_view<C> pieceFileName, std::basic_string_view<C>* dividedName,
                   DigitTest<C> isDigit)
{
    std::basic_string_view<C> stem = StemOf(pieceFileName);
    if (stem.size() < kMarkerLength)
        return false;
    size_t pos = PieceMarkerPos(stem, isDigit);
    *dividedName = pos == std::basic_string_view<C>::npos ? stem : stem.substr(0, pos);
    return true;
}

template <class C>
int PieceCountOfName(std::basic_string_view<C> pieceFileName, DigitTest<C> isDigit)
{
    std::basic_string_view<C> stem = StemOf(pieceFileName);
    size_t pos = PieceMarkerPos(stem, isDigit);
    return pos == std::basic_string_view<C>::npos ? 0 : PieceMarkerAt(stem.substr(pos), isDigit);
}

template <class C>
bool ParsePieceFileName(std::basic_string_view<C> fileName, std::basic_string_view<C> dividedName,
                        PieceNumber* piece)
{
    size_t nameLength = dividedName.size();
    if (fileName.size() != nameLength + kMarkerLength + kPieceExtLength ||
        !EqualsFoldingAscii(fileName.substr(0, nameLength), dividedName))
        return false;
    std::basic_string_view<C> marker = fileName.substr(nameLength, kMarkerLength);
    if (!PieceMarkerAt(marker, IsAsciiDigit<C>) ||
        !EqualsAscii(fileName.substr(nameLength + kMarkerLength), kPieceExt, kPieceExtLength, true))
        return false;
    piece->number = (unsigned)LeadingNumber(marker.substr(1, 2));
    piece->count = (unsigned)LeadingNumber(marker.substr(7, 2));
    return true;
}

template <class C>
std::basic_string<C> RecoveryFileName(std::basic_string_view<C> sourceName, unsigned count,
                                      unsigned index, unsigned total)
{
    std::basic_string<C> name(sourceName);
    AppendAscii(name, "(00_of_");
    AppendTwoDigits(name, count);
    name += C(')');
    AppendAscii(name, kRecoveryPart);
    AppendTwoDigits(name, index);
    AppendAscii(name, "-of-");
    AppendTwoDigits(name, total);
    AppendAscii(name, kPieceExt);
    return name;
}

template <class C>
bool ParseRecoveryFileName(std::basic_string_view<C> fileName,
                           std::basic_string_view<C> dividedName, RecoveryNumber* recovery)
{
    size_t pos = dividedName.size();
    RecoveryNumber found;
    if (fileName.size() < pos || !EqualsFoldingAscii(fileName.substr(0, pos), dividedName) ||
        !SkipAscii(fileName, &pos, "(00_of_", 7, false) ||
        !ReadNameNumber(fileName, &pos, &found.count) || !SkipAscii(fileName, &pos, ")", 1, false) ||
        !SkipAscii(fileName, &pos, kRecoveryPart, kRecoveryPartLength, false) ||
        !ReadNameNumber(fileName, &pos, &found.index) ||
        !SkipAscii(fileName, &pos, "-of-", 4, false) ||
        !ReadNameNumber(fileName, &pos, &found.total) ||
        !SkipAscii(fileName, &pos, kPieceExt, kPieceExtLength, true) || pos != fileName.size())
        return false;
    if (found.count < 1 || found.count > kMaxPieceCount || found.index < 1 || found.index > found.total)
        return false;
    *recovery = found;
    return true;
}

template <class C>
bool IsPieceFileName(std::basic_string_view<C> fileName, DigitTest<C> isDigit)
{
    return EqualsAscii(ExtensionOf(fileName), kPieceExt, kPieceExtLength, true) &&
           FindPieceMarker(StemOf(fileName), isDigit) != 0;
}

#define SUNDREL_PIECE_NAMES_FOR(C)                                                               \
    template int PieceMarkerAt<C>(std::basic_string_view<C>, DigitTest<C>);                      \
    template int FindPieceMarker<C>(std::basic_string_view<C>, DigitTest<C>);                    \
    template std::basic_string_view<C> StemOf<C>(std::basic_string_view<C>);                     \
    template std::basic_string_view<C> ExtensionOf<C>(std::basic_string_view<C>);                \
    template std::basic_string<C> PieceFileName<C>(std::basic_string_view<C>, unsigned, unsigned); \
    template std::basic_string<C> PiecePatternName<C>(std::basic_string_view<C>);                \
    template bool DividedNameOf<C>(std::basic_string_view<C>, std::basic_string_view<C>*,       \
                                   DigitTest<C>);                                                \
    template int PieceCountOfName<C>(std::basic_string_view<C>, DigitTest<C>);                   \
    template bool ParsePieceFileName<C>(std::basic_string_view<C>, std::basic_string_view<C>,    \
                                        PieceNumber*);                                           \
    template std::basic_string<C> RecoveryFileName<C>(std::basic_string_view<C>, unsigned,      \
                                                      unsigned, unsigned);                       \
    template bool ParseRecoveryFileName<C>(std::basic_string_view<C>, std::basic_string_view<C>, \
                                           RecoveryNumber*);                                     \
    template bool IsPieceFileName<C>(std::basic_string_view<C>, DigitTest<C>);

SUNDREL_PIECE_NAMES_FOR(char)
SUNDREL_PIECE_NAMES_FOR(wchar_t)

}  // namespace sundrel

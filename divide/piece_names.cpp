#include "piece_names.h"

#include <windows.h>
#include <stdlib.h>
#include <wchar.h>

#include "qoc.h"

static const wchar_t kPieceExt[] = L".divide";
static const size_t kPieceExtLen = 7;

bool FormatPieceName(const wchar_t* folder, const wchar_t* name, const wchar_t* ext,
                     unsigned number, unsigned count, wchar_t* out)
{
    if (QocSnPrintFW(out, MAX_PATH, L"%s%s%s(%02u_of_%02u).divide", folder, name, ext, number,
                     count) < 0) {
        out[0] = L'\0';
        return false;
    }
    return true;
}

bool FormatPiecePattern(const wchar_t* folder, const wchar_t* name, const wchar_t* ext,
                        wchar_t* out)
{
    if (QocSnPrintFW(out, MAX_PATH, L"%s%s%s(*.divide", folder, name, ext) < 0) {
        out[0] = L'\0';
        return false;
    }
    return true;
}

bool IsMarkerDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return true;
    if (c == 0x00B2 || c == 0x00B3 || c == 0x00B9)
        return true;
    if (c <= 0x00FF)
        return false;
    WORD type = 0;
    return GetStringTypeW(CT_CTYPE1, &c, 1, &type) && (type & C1_DIGIT);
}

int PieceMarkerAt(const wchar_t* text)
{
    // Each test stops at the terminator, so a short text fails safely.
    if (text[0] != L'(' || !IsMarkerDigit(text[1]) || !IsMarkerDigit(text[2]))
        return 0;
    if (wcsncmp(text + 3, L"_of_", 4) != 0)
        return 0;
    if (!IsMarkerDigit(text[7]) || !IsMarkerDigit(text[8]) || text[9] != L')')
        return 0;
    return QocAscToIntW(text + 7);
}

int FindPieceMarker(const wchar_t* text)
{
    size_t len = wcslen(text);
    if (len < kMarkerLen)
        return 0;
    for (size_t pos = 0; pos + kMarkerLen <= len; ++pos) {
        int count = PieceMarkerAt(text + pos);
        if (count)
            return count;
    }
    return 0;
}

// Position of the marker that names the piece in a name without ".divide":
// the one at its end, else the leftmost one; -1 when there is none.
static ptrdiff_t PieceMarkerPos(const wchar_t* name)
{
    size_t len = wcslen(name);
    if (len < kMarkerLen)
        return -1;
    if (PieceMarkerAt(name + len - kMarkerLen))
        return (ptrdiff_t)(len - kMarkerLen);
    for (size_t pos = 0; pos + kMarkerLen <= len; ++pos)
        if (PieceMarkerAt(name + pos))
            return (ptrdiff_t)pos;
    return -1;
}

// The file name of a path without its last extension.
static bool NameWithoutExt(const wchar_t* path, wchar_t* name)
{
    return _wsplitpath_s(path, nullptr, 0, nullptr, 0, name, MAX_PATH, nullptr, 0) == 0;
}

bool GetDividedFileName(const wchar_t* piecePath, wchar_t* out, size_t size)
{
    wchar_t name[MAX_PATH];
    if (!NameWithoutExt(piecePath, name) || wcslen(name) < kMarkerLen)
        return false;
    ptrdiff_t pos = PieceMarkerPos(name);
    if (pos >= 0)
        name[pos] = L'\0';
    return wcsncpy_s(out, size, name, _TRUNCATE) == 0;
}

int PieceCountOf(const wchar_t* piecePath)
{
    wchar_t name[MAX_PATH];
    if (!NameWithoutExt(piecePath, name))
        return 0;
    ptrdiff_t pos = PieceMarkerPos(name);
    return pos < 0 ? 0 : PieceMarkerAt(name + pos);
}

static bool IsAsciiDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool ParsePieceFileName(const wchar_t* fileName, const wchar_t* dividedName,
                        unsigned* number, unsigned* count)
{
    size_t nameLen = wcslen(dividedName);
    size_t len = wcslen(fileName);
    if (len != nameLen + kMarkerLen + kPieceExtLen)
        return false;
    if (_wcsnicmp(fileName, dividedName, nameLen) != 0)
        return false;
    const wchar_t* marker = fileName + nameLen;
    if (!PieceMarkerAt(marker) || _wcsicmp(marker + kMarkerLen, kPieceExt) != 0)
        return false;
    if (!IsAsciiDigit(marker[1]) || !IsAsciiDigit(marker[2]) || !IsAsciiDigit(marker[7]) ||
        !IsAsciiDigit(marker[8]))
        return false;
    *number = (unsigned)QocAscToIntW(marker + 1);
    *count = (unsigned)QocAscToIntW(marker + 7);
    return true;
}

bool IsPiecePath(const wchar_t* path)
{
    wchar_t name[MAX_PATH], ext[MAX_PATH];
    if (_wsplitpath_s(path, nullptr, 0, nullptr, 0, name, MAX_PATH, ext, MAX_PATH) != 0)
        return false;
    return _wcsicmp(ext, kPieceExt) == 0 && FindPieceMarker(name) != 0;
}

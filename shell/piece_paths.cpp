#include "piece_paths.h"

#include <stdlib.h>
#include <wchar.h>

#include <string>

#include "piece_names.h"

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

bool JoinFileName(const wchar_t* folder, std::wstring_view name, wchar_t* out)
{
    size_t folderLength = wcslen(folder);
    if (folderLength + name.size() >= MAX_PATH) {
        out[0] = L'\0';
        return false;
    }
    wmemmove(out, folder, folderLength);
    wmemcpy(out + folderLength, name.data(), name.size());
    out[folderLength + name.size()] = L'\0';
    return true;
}

static std::wstring SourceName(const wchar_t* name, const wchar_t* ext)
{
    return std::wstring(name) + ext;
}

bool FormatPieceName(const wchar_t* folder, const wchar_t* name, const wchar_t* ext,
                     unsigned number, unsigned count, wchar_t* out)
{
    std::wstring source = SourceName(name, ext);
    return JoinFileName(folder, sundrel::PieceFileName<wchar_t>(source, number, count), out);
}

bool FormatPiecePattern(const wchar_t* folder, const wchar_t* name, const wchar_t* ext,
                        wchar_t* out)
{
    std::wstring source = SourceName(name, ext);
    return JoinFileName(folder, sundrel::PiecePatternName<wchar_t>(source), out);
}

bool FormatRecoveryName(const wchar_t* folder, const wchar_t* name, const wchar_t* ext,
                        unsigned count, unsigned index, unsigned total, wchar_t* out)
{
    std::wstring source = SourceName(name, ext);
    return JoinFileName(folder, sundrel::RecoveryFileName<wchar_t>(source, count, index, total), out);
}

// The file name of a path: name and extension as the path split gives them.
static bool FileNameOf(const wchar_t* path, std::wstring* fileName)
{
    wchar_t name[MAX_PATH], ext[MAX_PATH];
    if (_wsplitpath_s(path, nullptr, 0, nullptr, 0, name, MAX_PATH, ext, MAX_PATH) != 0)
        return false;
    *fileName = std::wstring(name) + ext;
    return true;
}

bool GetDividedFileName(const wchar_t* piecePath, wchar_t* out, size_t size)
{
    std::wstring fileName;
    std::wstring_view divided;
    if (!FileNameOf(piecePath, &fileName) ||
        !sundrel::DividedNameOf<wchar_t>(fileName, &divided, IsMarkerDigit))
        return false;
    return wcsncpy_s(out, size, std::wstring(divided).c_str(), _TRUNCATE) == 0;
}

int PieceCountOf(const wchar_t* piecePath)
{
    std::wstring fileName;
    return FileNameOf(piecePath, &fileName)
               ? sundrel::PieceCountOfName<wchar_t>(fileName, IsMarkerDigit)
               : 0;
}

bool IsPiecePath(const wchar_t* path)
{
    std::wstring fileName;
    return FileNameOf(path, &fileName) && sundrel::IsPieceFileName<wchar_t>(fileName, IsMarkerDigit);
}

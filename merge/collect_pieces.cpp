// Gathers the pieces of one division from the selected piece's folder.
#include <stdlib.h>
#include <string.h>

#include "merge.h"
#include "piece_names.h"
#include "qoc.h"

// Reads the divide file ID at the start of a piece into id. Returns the
// number of bytes read (0 to 4), or -1 when the file cannot be opened or read.
static int ReadPieceId(const wchar_t* path, BYTE id[kPieceIdSize])
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    DWORD got = 0;
    BOOL read = ReadFile(file, id, kPieceIdSize, &got, nullptr);
    CloseHandle(file);
    return read ? (int)got : -1;
}

// A division of an empty file is one piece (01_of_01) of 0 bytes, with no ID
// to compare: it stands alone.
static int CollectEmptyPiece(HQOCAVS set, const wchar_t* piecePath, const wchar_t* dividedName,
                             int count)
{
    wchar_t name[MAX_PATH], ext[MAX_PATH], fileName[MAX_PATH];
    unsigned number = 0, pieces = 0;
    if (count != 1 ||
        _wsplitpath_s(piecePath, nullptr, 0, nullptr, 0, name, MAX_PATH, ext, MAX_PATH) != 0 ||
        _wmakepath_s(fileName, MAX_PATH, nullptr, nullptr, name, ext) != 0 ||
        !ParsePieceFileName(fileName, dividedName, &number, &pieces) || number != 1 || pieces != 1)
        return 0;
    return QocAvsInsNodeW(set, piecePath, 1, 0) ? 1 : 0;
}

int CollectPieces(HQOCAVS set, const wchar_t* piecePath, int count)
{
    if (count < 1 || count > (int)kMaxPieceCount)
        return 0;
    wchar_t dividedName[MAX_PATH];
    if (!GetDividedFileName(piecePath, dividedName, MAX_PATH))
        return 0;
    BYTE refId[kPieceIdSize];
    int refLen = ReadPieceId(piecePath, refId);
    if (refLen == 0)
        return CollectEmptyPiece(set, piecePath, dividedName, count);
    if (refLen != (int)kPieceIdSize)
        return 0;

    wchar_t drive[_MAX_DRIVE], dir[MAX_PATH], folder[MAX_PATH], pattern[MAX_PATH];
    if (_wsplitpath_s(piecePath, drive, _MAX_DRIVE, dir, MAX_PATH, nullptr, 0, nullptr, 0) != 0 ||
        QocSnPrintFW(folder, MAX_PATH, L"%s%s", drive, dir) < 0 ||
        QocSnPrintFW(pattern, MAX_PATH, L"%s%s*.divide", folder, dividedName) < 0)
        return 0;

    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    // Exactly one piece per number: a copy or a second piece with the same
    // number must not be joined in place of the right one.
    bool seen[kMaxPieceCount + 1] = {};
    int collected = 0;
    bool ok = true;
    do {
        unsigned number = 0, pieces = 0;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (!ParsePieceFileName(found.cFileName, dividedName, &number, &pieces))
            continue;
        wchar_t path[MAX_PATH];
        BYTE id[kPieceIdSize];
        if (wcscpy_s(path, folder) != 0 || !QocPathCatW(path, found.cFileName, MAX_PATH) ||
            ReadPieceId(path, id) != (int)kPieceIdSize || memcmp(id, refId, kPieceIdSize) != 0)
            continue;   // not of this division
        if ((int)pieces != count || number < 1 || number > pieces || seen[number] ||
            !QocAvsInsNodeW(set, path, number, 0)) {
            ok = false;
            break;
        }
        seen[number] = true;
        ++collected;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return ok && collected == count && QocAvsGetCount(set) == count ? 1 : 0;
}

// Gathers the pieces of one division from the selected piece's folder.
#include <stdlib.h>

#include <string>
#include <vector>

#include "merge.h"
#include "piece_io.h"
#include "piece_names.h"
#include "piece_paths.h"
#include "piece_set.h"
#include "qoc.h"

// Reads the divide file ID at the start of a piece. Returns the number of
// bytes read (0 to 4), or -1 when the file cannot be opened or read.
static int ReadPieceId(const wchar_t* path, uint32_t* id)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    uint8_t bytes[sundrel::kPieceIdSize];
    DWORD got = 0;
    BOOL read = ReadFile(file, bytes, sizeof bytes, &got, nullptr);
    CloseHandle(file);
    if (!read)
        return -1;
    if (got == sizeof bytes)
        *id = sundrel::DecodePieceId(bytes);
    return (int)got;
}

int CollectPieces(HQOCAVS set, const wchar_t* piecePath, int count)
{
    wchar_t dividedName[MAX_PATH];
    if (count < 1 || !GetDividedFileName(piecePath, dividedName, MAX_PATH))
        return 0;
    uint32_t selectedId = 0;
    int selectedIdBytes = ReadPieceId(piecePath, &selectedId);

    wchar_t drive[_MAX_DRIVE], dir[MAX_PATH], folder[MAX_PATH], pattern[MAX_PATH];
    if (_wsplitpath_s(piecePath, drive, _MAX_DRIVE, dir, MAX_PATH, nullptr, 0, nullptr, 0) != 0 ||
        QocSnPrintFW(folder, MAX_PATH, L"%s%s", drive, dir) < 0 ||
        QocSnPrintFW(pattern, MAX_PATH, L"%s%s*.divide", folder, dividedName) < 0)
        return 0;

    // Every file named exactly like a piece of the divided file, with what
    // its first bytes say; which of them make the division is the format's.
    std::vector<sundrel::FoundPiece> found;
    std::vector<std::wstring> paths;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        sundrel::PieceNumber piece;
        wchar_t path[MAX_PATH];
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !sundrel::ParsePieceFileName<wchar_t>(entry.cFileName, dividedName, &piece) ||
            wcscpy_s(path, folder) != 0 || !QocPathCatW(path, entry.cFileName, MAX_PATH))
            continue;
        sundrel::FoundPiece candidate = {piece.number, piece.count, 0, 0};
        candidate.idBytes = ReadPieceId(path, &candidate.id);
        found.push_back(candidate);
        paths.push_back(path);
    } while (FindNextFileW(search, &entry));
    FindClose(search);

    sundrel::Collection division =
        sundrel::CollectDivision(found, selectedIdBytes, selectedId, (unsigned)count);
    if (!division.complete)
        return 0;
    for (int i = 0; i < count; ++i)
        if (!QocAvsInsNodeW(set, paths[division.members[i]].c_str(), (uintptr_t)(i + 1), 0))
            return 0;
    return QocAvsGetCount(set) == count ? 1 : 0;
}

// The folder beside the selected piece as the merge plan reads it: the
// files named like its pieces, their first bytes and lengths, and any of
// them to read anywhere in.
#include <stdlib.h>

#include <string>
#include <vector>

#include "handle_random.h"
#include "merge.h"
#include "piece_io.h"
#include "piece_names.h"
#include "piece_paths.h"
#include "qoc.h"

bool WindowsPieceFolder::ListCandidates(std::wstring_view dividedName, std::vector<std::wstring>* names)
{
    wchar_t pattern[MAX_PATH];
    if (!JoinFileName(folder_, sundrel::PiecePatternName<wchar_t>(dividedName), pattern))
        return false;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names->push_back(entry.cFileName);
    while (FindNextFileW(search, &entry));
    FindClose(search);
    return true;
}

// Opened for reading, shared for reading, as every piece is read.
static HANDLE OpenInFolder(const wchar_t* folder, std::wstring_view name)
{
    wchar_t path[MAX_PATH];
    // A path that does not fit is never cut: it could name another file.
    if (!JoinFileName(folder, name, path))
        return INVALID_HANDLE_VALUE;
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

sundrel::FileHead WindowsPieceFolder::ReadHead(std::wstring_view name)
{
    sundrel::FileHead head;
    HANDLE file = OpenInFolder(folder_, name);
    if (file == INVALID_HANDLE_VALUE)
        return head;
    LARGE_INTEGER size;
    uint8_t id[sundrel::kPieceIdSize];
    DWORD got = 0;
    if (GetFileSizeEx(file, &size) && ReadFile(file, id, sizeof id, &got, nullptr)) {
        head.readable = true;
        head.length = (uint64_t)size.QuadPart;
        head.idBytes = (int)got;
        if (got == sizeof id)
            head.id = sundrel::DecodePieceId(id);
    }
    CloseHandle(file);
    return head;
}

std::unique_ptr<sundrel::RandomSource> WindowsPieceFolder::Open(std::wstring_view name)
{
    HANDLE file = OpenInFolder(folder_, name);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<OpenedRandomSource>(file);
}

sundrel::MergePlan<wchar_t> CollectPieces(const wchar_t* piecePath, wchar_t* folder)
{
    wchar_t drive[_MAX_DRIVE], dir[MAX_PATH], name[MAX_PATH], ext[MAX_PATH], fileName[MAX_PATH];
    folder[0] = L'\0';
    if (_wsplitpath_s(piecePath, drive, _MAX_DRIVE, dir, MAX_PATH, name, MAX_PATH, ext, MAX_PATH) != 0 ||
        QocSnPrintFW(folder, MAX_PATH, L"%s%s", drive, dir) < 0 ||
        QocSnPrintFW(fileName, MAX_PATH, L"%s%s", name, ext) < 0)
        return {};
    WindowsPieceFolder pieces(folder);
    return sundrel::PlanMerge<wchar_t>(pieces, fileName, IsMarkerDigit);
}

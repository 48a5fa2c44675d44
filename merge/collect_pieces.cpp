// The folder beside the selected piece as the merge plan reads it: the
// files named like its pieces, their first bytes and lengths.
#include <stdlib.h>

#include <string>
#include <vector>

#include "merge.h"
#include "piece_io.h"
#include "piece_names.h"
#include "piece_paths.h"
#include "qoc.h"

namespace {

class WindowsPieceFolder : public sundrel::PieceFolder<wchar_t> {
public:
    explicit WindowsPieceFolder(const wchar_t* folder) : folder_(folder) {}

    bool ListCandidates(std::wstring_view dividedName, std::vector<std::wstring>* names) override
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

    sundrel::FileHead ReadHead(std::wstring_view name) override
    {
        sundrel::FileHead head;
        wchar_t path[MAX_PATH];
        // A path that does not fit is never cut: it could name another file.
        if (!JoinFileName(folder_, name, path))
            return head;
        HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
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

private:
    const wchar_t* folder_;
};

}  // namespace

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

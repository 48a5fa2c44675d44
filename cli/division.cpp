#include "division.h"

#include <cstdio>

#include "messages.h"
#include "piece_io.h"
#include "platform.h"

namespace sundrel::cli {

namespace {

const Text kFolderUnreadable = {"The folder cannot be read: %s",
                                "フォルダを読み出せません: %s"};

// The selected piece's folder through this system's files; keeps the
// reasons of what could not be read.
class SystemFolder : public PieceFolder<char> {
public:
    SystemFolder(const std::string& folder, DivisionFiles* division)
        : folder_(folder), division_(division)
    {
    }

    bool ListCandidates(std::string_view, std::vector<std::string>* names) override
    {
        return ListFiles(folder_, names, &listError);
    }

    FileHead ReadHead(std::string_view name) override
    {
        FileHead head;
        File file;
        std::string path = JoinPath(folder_, std::string(name));
        uint8_t id[kPieceIdSize];
        size_t got = 0, total = 0;
        if (!file.OpenForReading(path) || !file.Size(&head.length)) {
            division_->errors.emplace_back(std::string(name), file.Error());
            return head;
        }
        do {
            if (!file.Read(id + total, kPieceIdSize - total, &got)) {
                division_->errors.emplace_back(std::string(name), file.Error());
                return head;
            }
            total += got;
        } while (got > 0 && total < kPieceIdSize);
        head.readable = true;
        head.idBytes = int(total);
        if (total == kPieceIdSize)
            head.id = DecodePieceId(id);
        return head;
    }

    std::string listError;

private:
    std::string folder_;
    DivisionFiles* division_;
};

}  // namespace

std::string IdText(uint32_t id)
{
    StampTime t = UtcTimeOf(id);
    char text[64];
    std::snprintf(text, sizeof text, "%u (%04d-%02d-%02d %02d:%02d:%02d UTC)", id, t.year, t.month,
                  t.day, t.hour, t.minute, t.second);
    return text;
}

bool SelectPiece(const std::string& path, SelectedPiece* piece)
{
    PathKind kind = KindOf(path);
    if (kind == PathKind::Missing) {
        PrintError(Say(kNoSuchFile, path.c_str()));
        return false;
    }
    if (kind == PathKind::Folder) {
        PrintError(Say(kIsFolder, path.c_str()));
        return false;
    }
    piece->path = path;
    piece->folder = FolderOf(path);
    piece->fileName = FileNameOf(path);
    std::string_view divided;
    if (kind != PathKind::File ||
        !DividedNameOf<char>(piece->fileName, &divided) ||
        !ParsePieceFileName<char>(piece->fileName, divided, &piece->number)) {
        PrintError(Say(kNotPieceName, path.c_str()));
        return false;
    }
    piece->dividedName = std::string(divided);
    return true;
}

std::string DivisionFiles::ErrorOf(const std::string& name) const
{
    for (const auto& error : errors)
        if (error.first == name)
            return error.second;
    return {};
}

std::string DivisionFiles::PathOf(const PlannedFile<char>& file) const
{
    return JoinPath(selected.folder, file.name);
}

bool FindDivision(const SelectedPiece& selected, DivisionFiles* division)
{
    division->selected = selected;
    SystemFolder folder(selected.folder, division);
    division->plan = PlanMerge<char>(folder, selected.fileName);
    if (!division->plan.folderRead) {
        PrintError(Say(kFolderUnreadable, selected.folder.c_str()), folder.listError);
        return false;
    }
    return true;
}

}  // namespace sundrel::cli

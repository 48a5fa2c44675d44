#include "division.h"

#include <cstdio>

#include "messages.h"
#include "piece_io.h"
#include "platform.h"
#include "report.h"
#include "streams.h"

namespace sundrel::cli {

namespace {

const Text kFolderUnreadable = {"The folder cannot be read: %s",
                                "フォルダを読み出せません: %s"};

}  // namespace

bool SystemFolder::ListCandidates(std::string_view, std::vector<std::string>* names)
{
    if (!listed_) {
        listed_ = ListFiles(folder_, &names_, &listError_);
        if (!listed_)
            return false;
    }
    *names = names_;
    return true;
}

FileHead SystemFolder::ReadHead(std::string_view name)
{
    std::string key(name);
    auto known = heads_.find(key);
    if (known != heads_.end())
        return known->second;
    FileHead& head = heads_[key];
    File file;
    uint8_t id[kPieceIdSize];
    size_t got = 0, total = 0;
    if (!file.OpenForReading(JoinPath(folder_, key)) || !file.Size(&head.length)) {
        errors_[key] = file.Error();
        return head;
    }
    do {
        if (!file.Read(id + total, kPieceIdSize - total, &got)) {
            errors_[key] = file.Error();
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

std::unique_ptr<RandomSource> SystemFolder::Open(std::string_view name)
{
    auto file = std::make_unique<FileRandomSource>();
    if (!file->Open(JoinPath(folder_, std::string(name)))) {
        errors_[std::string(name)] = file->Error();
        return nullptr;
    }
    return file;
}

std::string SystemFolder::ErrorOf(const std::string& name) const
{
    auto error = errors_.find(name);
    return error == errors_.end() ? std::string() : error->second;
}

std::string IdText(uint32_t id)
{
    StampTime t = UtcTimeOf(id);
    char text[64];
    std::snprintf(text, sizeof text, "%u (%04d-%02d-%02d %02d:%02d:%02d UTC)", id, t.year, t.month,
                  t.day, t.hour, t.minute, t.second);
    return text;
}

std::string IdTime(uint32_t id)
{
    StampTime t = UtcTimeOf(id);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

std::string NumberList(const std::vector<unsigned>& numbers)
{
    std::string list;
    for (unsigned n : numbers)
        list += (list.empty() ? "" : ", ") + std::string(n < 10 ? "0" : "") + std::to_string(n);
    return list;
}

bool SelectPiece(const std::string& path, SelectedPiece* piece, Report& report)
{
    PathKind kind = KindOf(path);
    if (kind == PathKind::Missing) {
        report.Fail(kExitUsage, "no-such-file", Say(&kNoSuchFile, path.c_str()));
        return false;
    }
    if (kind == PathKind::Folder) {
        report.Fail(kExitUsage, "is-folder", Say(&kIsFolder, path.c_str()));
        return false;
    }
    piece->path = path;
    piece->folder = FolderOf(path);
    piece->fileName = FileNameOf(path);
    std::string_view divided;
    bool named = kind == PathKind::File && DividedNameOf<char>(piece->fileName, &divided);
    if (named && !ParsePieceFileName<char>(piece->fileName, divided, &piece->number)) {
        piece->isRecovery = ParseRecoveryFileName<char>(piece->fileName, divided, &piece->recovery);
        piece->number = {0, piece->recovery.count};
        named = piece->isRecovery;
    }
    if (!named) {
        report.Fail(kExitUsage, "not-a-piece", Say(&kNotPieceName, path.c_str()));
        return false;
    }
    piece->dividedName = std::string(divided);
    return true;
}

std::string DivisionFiles::PathOf(const PlannedFile<char>& file) const
{
    return JoinPath(selected.folder, file.name);
}

bool FindDivision(const SelectedPiece& selected, SystemFolder& folder, DivisionFiles* division,
                  Report& report)
{
    division->selected = selected;
    division->plan = PlanMerge<char>(folder, selected.fileName);
    if (!division->plan.folderRead) {
        report.Fail(kExitFailed, "folder-unreadable",
                    Say(&kFolderUnreadable, selected.folder.c_str()), folder.listError());
        return false;
    }
    return true;
}

}  // namespace sundrel::cli

#include "division.h"

#include <algorithm>
#include <cstdio>

#include "messages.h"
#include "piece_io.h"
#include "platform.h"

namespace sundrel::cli {

namespace {

const Text kFolderUnreadable = {"The folder cannot be read: %s",
                                "フォルダを読み出せません: %s"};

// The ID bytes and length of a file, as far as they can be read.
PieceFile Probe(const std::string& folder, const std::string& name, PieceNumber number)
{
    PieceFile piece = {name, JoinPath(folder, name), {number.number, number.count, -1, 0},
                       FoundVerdict::Unreadable, 0, {}};
    File file;
    uint8_t id[kPieceIdSize];
    size_t got = 0, total = 0;
    if (!file.OpenForReading(piece.path) || !file.Size(&piece.length)) {
        piece.error = file.Error();
        return piece;
    }
    do {
        if (!file.Read(id + total, kPieceIdSize - total, &got)) {
            piece.error = file.Error();
            return piece;
        }
        total += got;
    } while (got > 0 && total < kPieceIdSize);
    piece.found.idBytes = int(total);
    if (total == kPieceIdSize)
        piece.found.id = DecodePieceId(id);
    return piece;
}

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

bool DivisionFiles::Mergeable() const
{
    return selectedValid && collection.complete && !lengthFaults.empty() &&
           firstLengthFault == lengthFaults.size();
}

const PieceFile& DivisionFiles::Member(unsigned number) const
{
    return files[size_t(collection.members[number - 1])];
}

bool FindDivision(const SelectedPiece& selected, DivisionFiles* division)
{
    division->selected = selected;
    division->selectedFile = Probe(selected.folder, selected.fileName, selected.number);
    const FoundPiece& own = division->selectedFile.found;
    division->selectedValid =
        own.idBytes == int(kPieceIdSize) || (own.idBytes == 0 && selected.number.count == 1);

    std::vector<std::string> names;
    std::string error;
    if (!ListFiles(selected.folder, &names, &error)) {
        PrintError(Say(kFolderUnreadable, selected.folder.c_str()), error);
        return false;
    }
    for (const std::string& name : names) {
        PieceNumber number;
        if (ParsePieceFileName<char>(name, selected.dividedName, &number))
            division->files.push_back(Probe(selected.folder, name, number));
    }
    std::sort(division->files.begin(), division->files.end(),
              [](const PieceFile& a, const PieceFile& b) {
                  if (a.found.number != b.found.number)
                      return a.found.number < b.found.number;
                  return a.name < b.name;
              });
    std::vector<FoundPiece> found;
    for (const PieceFile& file : division->files)
        found.push_back(file.found);
    division->collection = CollectDivision(found, own.idBytes, own.id, selected.number.count);
    for (size_t i = 0; i < division->files.size(); ++i)
        division->files[i].verdict = division->collection.verdicts[i];

    std::vector<uint64_t> lengths;
    for (int member : division->collection.members) {
        if (member < 0)
            return true;   // the rule needs every piece
        lengths.push_back(division->files[size_t(member)].length);
    }
    division->lengthFaults.resize(lengths.size());
    division->firstLengthFault =
        CheckPieceLengths(lengths.data(), lengths.size(), division->lengthFaults.data());
    return true;
}

}  // namespace sundrel::cli

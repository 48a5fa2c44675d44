#include "replacement.h"

#include <cstdio>

#include "piece_names.h"
#include "platform.h"

namespace sundrel::cli {

namespace {

const char kTemporaryMark[] = ".sundrel-tmp-";
// The longest file name most file systems take (bytes on POSIX, UTF-16
// units on Windows, which a UTF-8 name never has fewer of).
constexpr size_t kLongestName = 255;

}  // namespace

std::string TemporaryName(const std::string& pieceName, unsigned number, unsigned count,
                          unsigned processId)
{
    std::string tail = kTemporaryMark + std::to_string(processId);
    std::string name = "." + pieceName + tail;
    if (name.size() <= kLongestName)
        return name;
    char marker[16];
    std::snprintf(marker, sizeof marker, ".%02u_of_%02u", number, count);
    return marker + tail;
}

bool IsTemporaryName(const std::string& name)
{
    size_t mark = name.rfind(kTemporaryMark);
    if (name.empty() || name[0] != '.' || mark == std::string::npos || mark == 0)
        return false;
    size_t digits = mark + sizeof kTemporaryMark - 1;
    if (digits == name.size())
        return false;
    for (size_t i = digits; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9')
            return false;
    return true;
}

bool PiecesOfSource(const std::string& folder, const std::string& sourceName,
                    std::vector<std::string>* names, std::string* error)
{
    std::vector<std::string> all;
    if (!ListFiles(folder, &all, error))
        return false;
    names->clear();
    PieceNumber number;
    RecoveryNumber recovery;
    for (const std::string& name : all)
        if (ParsePieceFileName<char>(name, sourceName, &number) ||
            ParseRecoveryFileName<char>(name, sourceName, &recovery))
            names->push_back(name);
    return true;
}

PieceSet::PieceSet(std::string folder, std::string sourceName, unsigned count, unsigned recoveryTotal)
    : folder_(std::move(folder)), sourceName_(std::move(sourceName)), count_(count),
      recoveryTotal_(recoveryTotal)
{
}

PieceSet::~PieceSet()
{
    if (!switched_)
        for (unsigned number : created_)
            RemoveFile(TemporaryPath(number));
}

// A recovery piece's short temporary name counts on past the pieces
// (".04_of_03..." for the first of a set of three): still unique.
std::string PieceSet::FileName(unsigned number) const
{
    return number <= count_ ? PieceFileName<char>(sourceName_, number, count_)
                            : RecoveryFileName<char>(sourceName_, count_, number - count_, recoveryTotal_);
}

std::string PieceSet::FinalPath(unsigned number) const
{
    return JoinPath(folder_, FileName(number));
}

std::string PieceSet::TemporaryPath(unsigned number) const
{
    return JoinPath(folder_, TemporaryName(FileName(number), number, count_, ProcessId()));
}

void PieceSet::Created(unsigned number)
{
    created_.push_back(number);
}

bool PieceSet::SyncFolder(std::string* error) const
{
    return cli::SyncFolder(folder_, error);
}

// Each rename replaces one name atomically, so a crash in the middle of the
// switch leaves: the new pieces renamed so far under their names, the others
// under their temporary names, every one of them complete and on the disk,
// and the earlier pieces whose names the new set does not take. The new
// pieces all carry the new division's ID, which tells them from the earlier
// ones (sundrel list shows both and the temporary files); renaming the
// temporary files to the names in them finishes the switch by hand.
bool PieceSet::Switch(const std::vector<std::string>& earlier, std::vector<std::string>* removed,
                      std::string* error)
{
    switched_ = true;
    const unsigned files = count_ + recoveryTotal_;
    for (unsigned n = 1; n <= files; ++n)
        if (!RenameOver(TemporaryPath(n), FinalPath(n), error)) {
            *error = TemporaryPath(n) + ": " + *error;
            return false;
        }
    for (const std::string& name : earlier) {
        bool reused = false;
        for (unsigned n = 1; n <= files; ++n)
            reused = reused || SameFile(JoinPath(folder_, name), FinalPath(n));
        if (!reused && RemoveFile(JoinPath(folder_, name)))
            removed->push_back(name);
    }
    return cli::SyncFolder(folder_, error);
}

}  // namespace sundrel::cli

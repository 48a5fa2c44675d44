// A division's pieces are written under temporary names beside the pieces
// they may replace, and take their names only once every one of them is
// complete and on the disk: a failure, a full disk or an interruption before
// that leaves the folder as it was.
#pragma once

#include <string>
#include <vector>

namespace sundrel::cli {

// ".report.pdf(01_of_03).divide.sundrel-tmp-4711": hidden, and never a piece
// name (its extension is not .divide). Where the name would be too long for
// a file system, ".01_of_03.sundrel-tmp-4711".
std::string TemporaryName(const std::string& pieceName, unsigned number, unsigned count,
                          unsigned processId);
// Whether a file name is such a temporary name (of any process).
bool IsTemporaryName(const std::string& name);

// The exact piece and recovery piece names of sourceName in folder, of any
// count and ID; false with the reason when the folder cannot be read.
bool PiecesOfSource(const std::string& folder, const std::string& sourceName,
                    std::vector<std::string>* names, std::string* error);

// The new pieces of one division in one folder, under temporary names until
// Switch. Whatever is not switched is removed when it goes. Files 1 to count
// are the pieces, count + 1 to count + recoveryTotal the recovery pieces.
class PieceSet {
public:
    PieceSet(std::string folder, std::string sourceName, unsigned count, unsigned recoveryTotal = 0);
    ~PieceSet();
    PieceSet(const PieceSet&) = delete;
    PieceSet& operator=(const PieceSet&) = delete;

    std::string FinalPath(unsigned number) const;
    std::string TemporaryPath(unsigned number) const;
    // The temporary file of number exists now (removed unless switched).
    void Created(unsigned number);
    // The temporary files' names on the disk; before Switch.
    bool SyncFolder(std::string* error) const;

    // Puts the new pieces in place: each renamed over the name it takes,
    // then the earlier pieces that the new set does not reuse removed.
    // Run only once every temporary file is written and on the disk.
    // false with the failed step in *error; the pieces not yet renamed then
    // stay under their temporary names (complete, see the .cpp).
    bool Switch(const std::vector<std::string>& earlier, std::vector<std::string>* removed,
                std::string* error);

private:
    std::string FileName(unsigned number) const;

    std::string folder_, sourceName_;
    unsigned count_, recoveryTotal_;
    std::vector<unsigned> created_;
    bool switched_ = false;
};

}  // namespace sundrel::cli

// The division of a piece named on the command line, planned by the core
// from the folder as this system reads it. Shared by verify, merge, info and
// list.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "merge_plan.h"
#include "piece_names.h"

namespace sundrel::cli {

class Report;

struct SelectedPiece {
    std::string path;
    std::string folder;
    std::string fileName;
    std::string dividedName;   // report.pdf for report.pdf(02_of_03).divide
    PieceNumber number;        // {0, count} for a recovery piece
    bool isRecovery = false;   // report.pdf(00_of_03).recovery-01-of-02.divide
    RecoveryNumber recovery;   // when isRecovery
};

// The piece or recovery piece named on the command line; false after the
// reason (exit 2) for a missing file, a folder, or a name that is neither.
bool SelectPiece(const std::string& path, SelectedPiece* piece, Report& report);

// The files of one folder as the plan reads them: each head read once.
class SystemFolder : public PieceFolder<char> {
public:
    explicit SystemFolder(const std::string& folder) : folder_(folder) {}

    bool ListCandidates(std::string_view, std::vector<std::string>* names) override;
    FileHead ReadHead(std::string_view name) override;
    std::unique_ptr<RandomSource> Open(std::string_view name) override;

    const std::string& listError() const { return listError_; }
    // Why a file could not be read, when its head says so.
    std::string ErrorOf(const std::string& name) const;

private:
    std::string folder_;
    std::string listError_;
    std::vector<std::string> names_;
    bool listed_ = false;
    std::map<std::string, FileHead> heads_;
    std::map<std::string, std::string> errors_;
};

struct DivisionFiles {
    SelectedPiece selected;
    MergePlan<char> plan;
    std::string PathOf(const PlannedFile<char>& file) const;
};

// "1765031234 (2025-12-06 14:27:14 UTC)": an ID with the time it was made.
std::string IdText(uint32_t id);
// "2025-12-06T14:27:14Z"
std::string IdTime(uint32_t id);
// "01, 03": piece numbers as their names write them.
std::string NumberList(const std::vector<unsigned>& numbers);

// Plans the selected piece's division; false (after its message) when the
// folder cannot be read.
bool FindDivision(const SelectedPiece& selected, SystemFolder& folder, DivisionFiles* division,
                  Report& report);

}  // namespace sundrel::cli

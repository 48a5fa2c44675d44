// The division of a piece named on the command line, planned by the core
// from the folder as this system reads it. Shared by verify, merge and info.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "merge_plan.h"
#include "piece_names.h"

namespace sundrel::cli {

struct SelectedPiece {
    std::string path;
    std::string folder;
    std::string fileName;
    std::string dividedName;   // report.pdf for report.pdf(02_of_03).divide
    PieceNumber number;
};

// The piece named on the command line; prints the reason and returns false
// for a missing file, a folder, or a name that is no exact piece name.
bool SelectPiece(const std::string& path, SelectedPiece* piece);

struct DivisionFiles {
    SelectedPiece selected;
    MergePlan<char> plan;
    std::vector<std::pair<std::string, std::string>> errors;   // name, reason

    // Why a file could not be read, when its head says so.
    std::string ErrorOf(const std::string& name) const;
    std::string PathOf(const PlannedFile<char>& file) const;
};

// "1765031234 (2025-12-06 14:27:14 UTC)": an ID with the time it was made.
std::string IdText(uint32_t id);

// Plans the selected piece's division; false (after its message) when the
// folder cannot be read.
bool FindDivision(const SelectedPiece& selected, DivisionFiles* division);

}  // namespace sundrel::cli

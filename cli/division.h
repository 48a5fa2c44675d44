// The files of one division as they lie in a folder: the selected piece, its
// divided file's name, every file named exactly as a piece of it, their IDs
// and lengths, the core's collection and the rule of a set over them. Shared
// by verify, merge and info.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "piece_layout.h"
#include "piece_names.h"
#include "piece_set.h"

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

struct PieceFile {
    std::string name;
    std::string path;
    FoundPiece found;
    FoundVerdict verdict;
    uint64_t length;
    std::string error;        // why it could not be read, when idBytes is -1
};

struct DivisionFiles {
    SelectedPiece selected;
    PieceFile selectedFile;
    std::vector<PieceFile> files;        // in number order, then by name
    Collection collection;
    // One per number when every number has its file; empty otherwise.
    std::vector<LengthFault> lengthFaults;
    size_t firstLengthFault = 0;
    bool selectedValid = false;          // its ID could be read (or it is the empty piece)

    bool Mergeable() const;
    unsigned Count() const { return selected.number.count; }
    const PieceFile& Member(unsigned number) const;   // number 1..count, present
};

// "1765031234 (2025-12-06 14:27:14 UTC)": an ID with the time it was made.
std::string IdText(uint32_t id);

// Lists the selected piece's folder; false (after its message) when the
// folder cannot be read.
bool FindDivision(const SelectedPiece& selected, DivisionFiles* division);

}  // namespace sundrel::cli

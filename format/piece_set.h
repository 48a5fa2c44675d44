// Which files beside a selected piece make up its division, and whether they
// are all there: the collection that a merge and a verification share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sundrel {

// A file whose name is exactly a piece name of the divided file (see
// ParsePieceFileName), with what its first bytes said.
struct FoundPiece {
    unsigned number;
    unsigned count;
    int idBytes;     // bytes of the ID that could be read: 0 to 4, -1 when unreadable
    uint32_t id;     // valid when idBytes is 4
};

enum class FoundVerdict {
    Member,
    OtherDivision,   // another divide file ID: not of this division, passed over
    Unreadable,      // no whole ID could be read: passed over
    WrongCount,      // this division's ID under another piece count
    Duplicate,       // a second file with a number already taken
};

struct Collection {
    std::vector<FoundVerdict> verdicts;   // one per found file
    std::vector<int> members;             // index into found per number 1..count, -1 missing
    bool complete = false;                // exactly one member per number, nothing wrong
};

// selectedIdBytes and selectedId come from the selected piece: 4 bytes of
// ID, or 0 for the empty piece of an empty source, whose only member is
// piece 1 of 1 with no ID. count is the selected piece's count (1 to 99).
Collection CollectDivision(const std::vector<FoundPiece>& found, int selectedIdBytes,
                           uint32_t selectedId, unsigned count);

}  // namespace sundrel

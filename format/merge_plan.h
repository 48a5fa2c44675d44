// The merge plan: which files beside a selected piece make up its division,
// in which order, and everything that is wrong with the set, decided from
// what a front end read of the folder (names, the first bytes, lengths).
// Every front end merges and verifies by this one plan; they only read files
// and show its findings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "piece_io.h"
#include "piece_layout.h"
#include "piece_names.h"

namespace sundrel {

// What a front end could read of one file.
struct FileHead {
    bool readable = false;   // opened, measured and its first bytes read
    int idBytes = 0;         // bytes of the divide file ID read: 0 to 4
    uint32_t id = 0;         // valid when idBytes is 4
    uint64_t length = 0;     // valid when readable
};

// The folder of the selected piece, as a front end reads it.
template <class C>
class PieceFolder {
public:
    virtual ~PieceFolder() = default;
    // At least every regular file whose name starts with dividedName and "("
    // and ends in ".divide" (any case), in any order; more do no harm.
    // false when the folder cannot be read.
    virtual bool ListCandidates(std::basic_string_view<C> dividedName,
                                std::vector<std::basic_string<C>>* names) = 0;
    // The head of one file of the folder.
    virtual FileHead ReadHead(std::basic_string_view<C> name) = 0;
    // One file of the folder to read anywhere in, for recovery pieces and
    // what they rebuild; null when it cannot be opened.
    virtual std::unique_ptr<RandomSource> Open(std::basic_string_view<C> name)
    {
        (void)name;
        return nullptr;
    }
};

enum class PlanVerdict {
    Member,          // holds its number's place with the set's ID
    ForeignId,       // holds a place, but with another ID: damaged, or of another division
    ShortId,         // holds a place, but has no whole ID (0 to 3 bytes)
    Unreadable,      // holds a place, but could not be read
    WrongCount,      // the set's ID under another count, or a number outside the set
    Duplicate,       // the set's ID and a number whose place is held already
    PassedOver,      // another division's piece, or an unreadable file outside the set's places
};

template <class C>
struct PlannedFile {
    std::basic_string<C> name;
    PieceNumber number;
    FileHead head;
    PlanVerdict verdict = PlanVerdict::PassedOver;
    LengthFault lengthFault = LengthFault::None;   // judged when every place is held and read
};

// A file named as a recovery piece of the set.
template <class C>
struct PlannedRecovery {
    std::basic_string<C> name;
    RecoveryNumber number;
    FileHead head;
};

template <class C>
struct MergePlan {
    std::basic_string<C> dividedName;   // report.pdf for report.pdf(02_of_03).divide
    unsigned count = 0;                 // 0: the selected name carries no usable marker
    bool folderRead = false;
    // The set's divide file ID: the selected piece's, unless the other
    // pieces of its name and count agree on another one over more places.
    bool hasId = false;                 // false for the empty source's one piece, or no ID at all
    uint32_t id = 0;
    FileHead selectedHead;
    int selectedIndex = -1;             // into files; -1 when its name is no exact piece name
    bool selectedAtFault = false;       // its own ID (or lack of one) is not the set's
    // Every file named exactly as a piece of dividedName, in number order,
    // then by name.
    std::vector<PlannedFile<C>> files;
    // Per place 1..count: the index into files of the file that holds it,
    // -1 when no file does.
    std::vector<int> places;
    std::vector<unsigned> missing;      // numbers of the places no file holds
    // Files named as recovery pieces of the set's name and count, by index,
    // then by name. Nothing above depends on them.
    std::vector<PlannedRecovery<C>> recovery;
    bool lengthsJudged = false;
    size_t firstLengthFault = 0;        // place index; count when none

    // Every place held by a member, nothing of the set's ID astray, the
    // selected piece one of the set; the lengths then judged.
    bool Collected() const;
    // Collected, and the lengths as the layout requires.
    bool Mergeable() const { return Collected() && firstLengthFault == count; }
    // The member in place number (1..count); only when it is one.
    const PlannedFile<C>& Place(unsigned number) const { return files[size_t(places[number - 1])]; }
};

// Plans the merge of the division of the piece named selectedName in
// folder. isDigit is the marker digit test of the selected name (the set's
// own names are always ASCII).
template <class C>
MergePlan<C> PlanMerge(PieceFolder<C>& folder, std::basic_string_view<C> selectedName,
                       DigitTest<C> isDigit = IsAsciiDigit<C>);

}  // namespace sundrel

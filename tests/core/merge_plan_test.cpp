#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "memory_streams.h"
#include "merge_plan.h"

namespace sundrel {
namespace {

using V = PlanVerdict;

std::string IdBytes(uint32_t id)
{
    return std::string{char(id), char(id >> 8), char(id >> 16), char(id >> 24)};
}

// A piece of dataBytes with the given ID; only its head and length matter here.
std::string Piece(uint32_t id, uint64_t dataBytes)
{
    return IdBytes(id) + std::string(size_t(PieceFileLength(dataBytes) - kPieceIdSize), 'x');
}

std::string Full(uint32_t id)
{
    return Piece(id, kMiB);
}

std::string Name(unsigned number, unsigned count, const char* divided = "report.pdf")
{
    return PieceFileName<char>(divided, number, count);
}

// A folder where some files cannot be read, or the folder itself.
class TestFolder : public MemoryFolder {
public:
    std::set<std::string, std::less<>> unreadable;
    bool listable = true;

    bool ListCandidates(std::string_view divided, std::vector<std::string>* names) override
    {
        return listable && MemoryFolder::ListCandidates(divided, names);
    }
    FileHead ReadHead(std::string_view name) override
    {
        return unreadable.count(name) ? FileHead() : MemoryFolder::ReadHead(name);
    }
};

const uint32_t kId = 1765031234, kOther = 1765031299;

TestFolder WholeSet()
{
    TestFolder folder;
    folder.files[Name(1, 3)] = Full(kId);
    folder.files[Name(2, 3)] = Full(kId);
    folder.files[Name(3, 3)] = Piece(kId, 5000);
    return folder;
}

struct Row {
    const char* what;
    TestFolder folder;
    std::vector<std::string> selected;       // each selection must give the same plan
    std::vector<V> verdicts;                 // per file, in number order, then by name
    std::vector<unsigned> missing;
    bool mergeable;
};

std::vector<Row> Rows()
{
    std::vector<Row> rows;
    rows.push_back({"whole set", WholeSet(), {Name(1, 3), Name(2, 3), Name(3, 3)}, {V::Member, V::Member, V::Member}, {}, true});

    // Recovery pieces are no pieces to the rules as they stand; opened
    // through one, its ID finds the set.
    const std::string recovery1 = RecoveryFileName<char>("report.pdf", 3, 1, 2);
    Row recovery{"recovery pieces beside", WholeSet(), {Name(2, 3), recovery1},
                 {V::Member, V::Member, V::Member}, {}, true};
    recovery.folder.files[recovery1] = IdBytes(kId) + "SundRec\n";
    recovery.folder.files[RecoveryFileName<char>("report.pdf", 3, 2, 2)] = IdBytes(kId) + "SundRec\n";
    rows.push_back(recovery);

    Row damagedId{"damaged ID in piece 2", WholeSet(), {Name(1, 3), Name(2, 3), Name(3, 3)}, {V::Member, V::ForeignId, V::Member}, {}, false};
    damagedId.folder.files[Name(2, 3)] = Full(kOther);
    rows.push_back(damagedId);

    Row otherCount{"another division's piece under another count", WholeSet(), {Name(1, 3), Name(2, 3), Name(3, 3)},
                   {V::Member, V::PassedOver, V::Member, V::Member}, {}, true};
    otherCount.folder.files[Name(1, 5)] = Full(kOther);
    rows.push_back(otherCount);

    Row gap{"a gap", WholeSet(), {Name(1, 3), Name(3, 3)}, {V::Member, V::Member}, {2}, false};
    gap.folder.files.erase(Name(2, 3));
    rows.push_back(gap);

    Row wrongCount{"the set's ID under another count", WholeSet(), {Name(1, 3)},
                   {V::Member, V::Member, V::Member, V::WrongCount}, {}, false};
    wrongCount.folder.files[Name(4, 4)] = Full(kId);
    rows.push_back(wrongCount);

    Row outside{"the set's ID under a number outside the set", WholeSet(), {Name(2, 3)},
                {V::WrongCount, V::Member, V::Member, V::Member}, {}, false};
    outside.folder.files[Name(0, 3)] = Full(kId);
    rows.push_back(outside);

    Row duplicate{"a second piece 2 in other case", WholeSet(), {Name(1, 3)},
                  {V::Member, V::Member, V::Duplicate, V::Member}, {}, false};
    duplicate.folder.files[Name(2, 3, "REPORT.PDF")] = Full(kId);
    rows.push_back(duplicate);

    Row shortId{"piece 2 cut to 2 bytes", WholeSet(), {Name(1, 3)}, {V::Member, V::ShortId, V::Member}, {}, false};
    shortId.folder.files[Name(2, 3)] = "ID";
    rows.push_back(shortId);

    Row unreadable{"piece 3 unreadable", WholeSet(), {Name(1, 3), Name(2, 3)}, {V::Member, V::Member, V::Unreadable}, {}, false};
    unreadable.folder.unreadable.insert(Name(3, 3));
    rows.push_back(unreadable);

    Row truncated{"piece 1 cut at a block boundary", WholeSet(), {Name(1, 3), Name(2, 3), Name(3, 3)},
                  {V::Member, V::Member, V::Member}, {}, false};
    truncated.folder.files[Name(1, 3)] = Piece(kId, kMiB - kBlockDataSize);
    rows.push_back(truncated);

    TestFolder empty;
    empty.files[Name(1, 1, "empty.bin")] = "";
    rows.push_back({"the empty source's one piece", empty, {Name(1, 1, "empty.bin")}, {V::Member}, {}, true});

    TestFolder emptyInTwo;
    emptyInTwo.files[Name(1, 2)] = "";
    emptyInTwo.files[Name(2, 2)] = Piece(kId, 10);
    rows.push_back({"an empty piece in a set of two", emptyInTwo, {Name(1, 2), Name(2, 2)}, {V::ShortId, V::Member}, {}, false});

    TestFolder unlisted = WholeSet();
    unlisted.listable = false;
    rows.push_back({"the folder cannot be read", unlisted, {Name(1, 3)}, {}, {1, 2, 3}, false});
    return rows;
}

TEST(MergePlan, JudgesEverySetAlikeWhicheverPieceIsSelected)
{
    for (Row& row : Rows()) {
        for (const std::string& selected : row.selected) {
            MergePlan<char> plan = PlanMerge<char>(row.folder, selected);
            std::vector<V> verdicts;
            for (const PlannedFile<char>& file : plan.files)
                verdicts.push_back(file.verdict);
            EXPECT_EQ(verdicts, row.verdicts) << row.what << ", through " << selected;
            EXPECT_EQ(plan.missing, row.missing) << row.what << ", through " << selected;
            EXPECT_EQ(plan.Mergeable(), row.mergeable) << row.what << ", through " << selected;
        }
    }
}

TEST(MergePlan, PlacesInNumberOrderAndTheSetsId)
{
    TestFolder folder = WholeSet();
    MergePlan<char> plan = PlanMerge<char>(folder, Name(2, 3));
    ASSERT_TRUE(plan.Mergeable());
    EXPECT_EQ(plan.dividedName, "report.pdf");
    EXPECT_EQ(plan.count, 3u);
    EXPECT_TRUE(plan.hasId);
    EXPECT_EQ(plan.id, kId);
    for (unsigned n = 1; n <= 3; ++n)
        EXPECT_EQ(plan.Place(n).name, Name(n, 3));
    EXPECT_EQ(plan.selectedIndex, 1);
    EXPECT_FALSE(plan.selectedAtFault);
}

TEST(MergePlan, TheSelectedPieceIsAtFaultWhenTheOthersAgreeOnAnotherId)
{
    TestFolder folder = WholeSet();
    folder.files[Name(2, 3)] = Full(kOther);
    MergePlan<char> plan = PlanMerge<char>(folder, Name(2, 3));
    EXPECT_TRUE(plan.selectedAtFault);
    EXPECT_EQ(plan.id, kId);
    EXPECT_EQ(plan.files[1].verdict, V::ForeignId);

    // Two pieces that disagree: nothing tells which is damaged, and the
    // selected one's ID stands.
    TestFolder two;
    two.files[Name(1, 2)] = Full(kId);
    two.files[Name(2, 2)] = Piece(kOther, 10);
    MergePlan<char> through2 = PlanMerge<char>(two, Name(2, 2));
    EXPECT_FALSE(through2.selectedAtFault);
    EXPECT_EQ(through2.id, kOther);
    EXPECT_EQ(through2.files[0].verdict, V::ForeignId);
}

TEST(MergePlan, SelectedPieceUnderAnotherNameLendsItsId)
{
    // Opened through a copy: the copy's ID finds the set; the copy is no member.
    TestFolder folder = WholeSet();
    folder.files["report.pdf(02_of_03) - Copy.divide"] = Full(kId);
    MergePlan<char> plan = PlanMerge<char>(folder, std::string("report.pdf(02_of_03) - Copy.divide"));
    EXPECT_TRUE(plan.Mergeable());
    EXPECT_EQ(plan.selectedIndex, -1);
    EXPECT_EQ(plan.files.size(), 3u);
}

TEST(MergePlan, LengthFaultsNameTheirPiece)
{
    TestFolder folder = WholeSet();
    folder.files[Name(2, 3)] = Piece(kId, kMiB - kBlockDataSize);
    MergePlan<char> plan = PlanMerge<char>(folder, Name(1, 3));
    ASSERT_TRUE(plan.lengthsJudged);
    EXPECT_EQ(plan.firstLengthFault, 1u);
    EXPECT_EQ(plan.Place(2).lengthFault, LengthFault::Truncated);
    EXPECT_EQ(plan.Place(1).lengthFault, LengthFault::None);

    // No judgement of lengths while a place is empty.
    folder.files.erase(Name(3, 3));
    EXPECT_FALSE(PlanMerge<char>(folder, Name(1, 3)).lengthsJudged);
}

TEST(MergePlan, NameWithoutMarkerPlansNothing)
{
    TestFolder folder = WholeSet();
    MergePlan<char> plan = PlanMerge<char>(folder, std::string("report.pdf.divide"));
    EXPECT_EQ(plan.count, 0u);
    EXPECT_FALSE(plan.Mergeable());
}

}  // namespace
}  // namespace sundrel

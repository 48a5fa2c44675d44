#include <gtest/gtest.h>

#include <vector>

#include "piece_set.h"

namespace sundrel {
namespace {

using V = FoundVerdict;

TEST(PieceSet, CollectsExactlyOneMemberPerNumber)
{
    const uint32_t id = 42;
    struct Row {
        const char* what;
        std::vector<FoundPiece> found;
        std::vector<V> verdicts;
        bool complete;
    } rows[] = {
        {"all three", {{2, 3, 4, id}, {1, 3, 4, id}, {3, 3, 4, id}}, {V::Member, V::Member, V::Member}, true},
        {"one missing", {{1, 3, 4, id}, {3, 3, 4, id}}, {V::Member, V::Member}, false},
        {"another division passed over",
         {{1, 3, 4, id}, {1, 5, 4, 7}, {2, 3, 4, id}, {3, 3, 4, id}},
         {V::Member, V::OtherDivision, V::Member, V::Member}, true},
        {"a second piece 2", {{1, 3, 4, id}, {2, 3, 4, id}, {2, 3, 4, id}, {3, 3, 4, id}},
         {V::Member, V::Member, V::Duplicate, V::Member}, false},
        {"same ID, other count", {{1, 3, 4, id}, {2, 3, 4, id}, {3, 3, 4, id}, {4, 4, 4, id}},
         {V::Member, V::Member, V::Member, V::WrongCount}, false},
        {"piece cut to 2 bytes", {{1, 3, 4, id}, {2, 3, 2, 0}, {3, 3, 4, id}},
         {V::Member, V::Unreadable, V::Member}, false},
    };
    for (const Row& row : rows) {
        Collection c = CollectDivision(row.found, 4, id, 3);
        EXPECT_EQ(c.verdicts, row.verdicts) << row.what;
        EXPECT_EQ(c.complete, row.complete) << row.what;
    }
    Collection ordered = CollectDivision(rows[0].found, 4, id, 3);
    EXPECT_EQ(ordered.members, (std::vector<int>{1, 0, 2}));
}

TEST(PieceSet, EmptySourceStandsAlone)
{
    EXPECT_TRUE(CollectDivision({{1, 1, 0, 0}}, 0, 0, 1).complete);
    EXPECT_FALSE(CollectDivision({{1, 2, 0, 0}}, 0, 0, 2).complete);
    EXPECT_FALSE(CollectDivision({}, 4, 1, 0).complete);
    EXPECT_FALSE(CollectDivision({{1, 1, 4, 1}}, 3, 0, 1).complete);
}

}  // namespace
}  // namespace sundrel

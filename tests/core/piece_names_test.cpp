#include <gtest/gtest.h>

#include <string>

#include "merged_name.h"
#include "piece_names.h"

namespace sundrel {
namespace {

// The same names in both kinds of characters the programs use.
template <class C>
class PieceNamesTest : public ::testing::Test {
protected:
    static std::basic_string<C> T(const char* ascii)
    {
        return std::basic_string<C>(ascii, ascii + std::char_traits<char>::length(ascii));
    }
    static std::basic_string_view<C> V(const std::basic_string<C>& s) { return s; }
};
using CharTypes = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(PieceNamesTest, CharTypes);

TYPED_TEST(PieceNamesTest, Markers)
{
    auto find = [](const char* text) {
        auto s = TestFixture::T(text);
        return FindPieceMarker(TestFixture::V(s));
    };
    EXPECT_EQ(find("report.pdf(02_of_03)"), 3);
    EXPECT_EQ(find("a(01_of_00)b(02_of_05)"), 5);
    EXPECT_EQ(find("x(1_of_3)"), 0);
    EXPECT_EQ(find("x(01_OF_03)"), 0);
    EXPECT_EQ(find("(00_of_07)"), 7);
    EXPECT_EQ(find("(01_of_0"), 0);
    EXPECT_EQ(find("a(01_of_100)"), 0);
}

TYPED_TEST(PieceNamesTest, NamesAndTheirParts)
{
    auto name = PieceFileName(TestFixture::V(TestFixture::T("report.pdf")), 2, 3);
    EXPECT_EQ(name, TestFixture::T("report.pdf(02_of_03).divide"));
    EXPECT_EQ(PieceFileName(TestFixture::V(TestFixture::T("a")), 100, 120),
              TestFixture::T("a(100_of_120).divide"));
    EXPECT_EQ(PiecePatternName(TestFixture::V(TestFixture::T("README"))),
              TestFixture::T("README(*.divide"));

    struct Row {
        const char* piece;
        bool ok;
        const char* divided;
        int count;
    } rows[] = {
        {"report.pdf(02_of_03).divide", true, "report.pdf", 3},
        {"a(01_of_02).txt(01_of_03).divide", true, "a(01_of_02).txt", 3},
        {"a(01_of_02)b.divide", true, "a", 2},
        {"report.pdf.divide", true, "report.pdf", 0},
        {"abc.divide", false, "", 0},
    };
    for (const Row& row : rows) {
        auto piece = TestFixture::T(row.piece);
        std::basic_string_view<TypeParam> divided;
        EXPECT_EQ(DividedNameOf(TestFixture::V(piece), &divided), row.ok) << row.piece;
        if (row.ok) {
            EXPECT_EQ(std::basic_string<TypeParam>(divided), TestFixture::T(row.divided)) << row.piece;
        }
        EXPECT_EQ(PieceCountOfName(TestFixture::V(piece)), row.count) << row.piece;
    }
}

TYPED_TEST(PieceNamesTest, ExactPieceNamesOnly)
{
    auto divided = TestFixture::T("Report.pdf");
    struct Row {
        const char* file;
        bool ok;
        unsigned number, count;
    } rows[] = {
        {"report.PDF(02_of_03).DIVIDE", true, 2, 3},
        {"Report.pdf(2)(01_of_03).divide", false, 0, 0},
        {"Report.pdf(01_of_03) - Copy.divide", false, 0, 0},
        {"Report.pdf(01_of_03).divide.txt", false, 0, 0},
        {"Report.pdf(100_of_120).divide", false, 0, 0},
    };
    for (const Row& row : rows) {
        auto file = TestFixture::T(row.file);
        PieceNumber piece = {};
        EXPECT_EQ(ParsePieceFileName(TestFixture::V(file), TestFixture::V(divided), &piece), row.ok)
            << row.file;
        EXPECT_EQ(piece.number, row.number) << row.file;
        EXPECT_EQ(piece.count, row.count) << row.file;
    }
    EXPECT_TRUE(IsPieceFileName(TestFixture::V(TestFixture::T("x(01_of_02).Divide"))));
    EXPECT_FALSE(IsPieceFileName(TestFixture::V(TestFixture::T("x(01_of_02).txt"))));
}

TYPED_TEST(PieceNamesTest, MergedNameStampsBeforeTheExtension)
{
    StampTime t = {2027, 1, 5, 8, 7, 3};
    EXPECT_EQ(MergedFileName(TestFixture::V(TestFixture::T("report.pdf")), t),
              TestFixture::T("report(270105-080703).pdf"));
    EXPECT_EQ(MergedFileName(TestFixture::V(TestFixture::T("README")), t),
              TestFixture::T("README(270105-080703)"));
}

}  // namespace
}  // namespace sundrel

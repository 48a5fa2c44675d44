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
    auto at = [](const char* text) {
        auto s = TestFixture::T(text);
        return PieceMarkerAt(TestFixture::V(s));
    };
    const struct {
        const char* text;
        int count;
    } atRows[] = {
        {"(02_of_03)", 3},
        {"(02_of_03).divide", 3},
        {"(99_of_45)", 45},
        {"x(02_of_03)", 0},
        {"(02_of_03", 0},   // ends before the ")"
        {"(02_of_0", 0},
        {"", 0},
        {"(02_OF_03)", 0},
        {"(02-of-03)", 0},
        {"(2_of_3)", 0},
        {"(02_of_00)", 0},   // a count of 0 is no marker
        {"(00_of_07)", 7},   // the number is not judged
    };
    for (const auto& row : atRows)
        EXPECT_EQ(at(row.text), row.count) << row.text;

    auto find = [](const char* text) {
        auto s = TestFixture::T(text);
        return FindPieceMarker(TestFixture::V(s));
    };
    const struct {
        const char* text;
        int count;
    } findRows[] = {
        {"report.pdf(02_of_03)", 3},
        {"a(01_of_00)b(02_of_05)", 5},
        {"x(1_of_3)", 0},
        {"x(01_OF_03)", 0},
        {"(00_of_07)", 7},
        {"C:\\a(01_of_02)\\b.txt(01_of_03).divide", 2},
        {"a(01_of_02).txt(01_of_03)", 2},
        {"(01_of_0", 0},
        {"", 0},
        {"report.pdf(copy)", 0},
        // Three-digit fields, as a division into 100 pieces would write them.
        {"a(01_of_100)", 0},
        {"a(100_of_120)", 0},
    };
    for (const auto& row : findRows)
        EXPECT_EQ(find(row.text), row.count) << row.text;
}

TYPED_TEST(PieceNamesTest, NamesAndTheirParts)
{
    auto name = PieceFileName(TestFixture::V(TestFixture::T("report.pdf")), 2, 3);
    EXPECT_EQ(name, TestFixture::T("report.pdf(02_of_03).divide"));
    EXPECT_EQ(PieceFileName(TestFixture::V(TestFixture::T("README")), 1, 2),
              TestFixture::T("README(01_of_02).divide"));
    EXPECT_EQ(PieceFileName(TestFixture::V(TestFixture::T("a(01_of_02).txt")), 3, 3),
              TestFixture::T("a(01_of_02).txt(03_of_03).divide"));
    EXPECT_EQ(PieceFileName(TestFixture::V(TestFixture::T("a")), 100, 120),
              TestFixture::T("a(100_of_120).divide"));
    EXPECT_EQ(PiecePatternName(TestFixture::V(TestFixture::T("report.pdf"))),
              TestFixture::T("report.pdf(*.divide"));
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
        {"a(01_of_04)b.divide", true, "a", 4},
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
    struct Row {
        const char* divided;
        const char* file;
        bool ok;
        unsigned number, count;
    } rows[] = {
        {"Report.pdf", "report.PDF(02_of_03).DIVIDE", true, 2, 3},
        {"Report.pdf", "Report.pdf(2)(01_of_03).divide", false, 0, 0},
        {"Report.pdf", "Report.pdf(01_of_03) - Copy.divide", false, 0, 0},
        {"Report.pdf", "Report.pdf(01_of_03).divide.txt", false, 0, 0},
        {"Report.pdf", "Report.pdf(100_of_120).divide", false, 0, 0},
        {"report.pdf", "report.pdf(02_of_03).divide", true, 2, 3},
        {"report.pdf", "REPORT.PDF(10_of_12).DIVIDE", true, 10, 12},
        {"a(01_of_02).txt", "a(01_of_02).txt(01_of_03).divide", true, 1, 3},
        {"report", "report.pdf(02_of_03).divide", false, 0, 0},
        {"report.pdf", "report.pdf(02_of_00).divide", false, 0, 0},
        {"report.pdf", "report.pdf(copy).divide", false, 0, 0},
        {"report.pdf", "report.pdf(01_of_100).divide", false, 0, 0},
    };
    for (const Row& row : rows) {
        auto divided = TestFixture::T(row.divided);
        auto file = TestFixture::T(row.file);
        PieceNumber piece = {};
        EXPECT_EQ(ParsePieceFileName(TestFixture::V(file), TestFixture::V(divided), &piece), row.ok)
            << row.file;
        EXPECT_EQ(piece.number, row.number) << row.file;
        EXPECT_EQ(piece.count, row.count) << row.file;
    }
    const struct {
        const char* file;
        bool piece;
    } isRows[] = {
        {"x(01_of_02).Divide", true},
        {"report.pdf(02_of_03).divide", true},
        {"report.pdf(02_of_03).DIVIDE", true},
        {"a(01_of_02)b.divide", true},
        {"x(01_of_02).txt", false},
        {"report.pdf(02_of_03).divide.txt", false},
        {"report.divide", false},
        {"report(01_of_100).divide", false},
        {"", false},
    };
    for (const auto& row : isRows)
        EXPECT_EQ(IsPieceFileName(TestFixture::V(TestFixture::T(row.file))), row.piece) << row.file;
}

// Recovery pieces pass through every rule of pieces as they stand: never a
// piece name, yet a piece path to the shell, with its set's name and count.
TYPED_TEST(PieceNamesTest, RecoveryNamesAreNoPieceNames)
{
    auto divided = TestFixture::T("report.pdf");
    auto made = RecoveryFileName(TestFixture::V(divided), 3, 1, 2);
    EXPECT_EQ(made, TestFixture::T("report.pdf(00_of_03).recovery-01-of-02.divide"));
    EXPECT_EQ(RecoveryFileName(TestFixture::V(divided), 99, 150, 156),
              TestFixture::T("report.pdf(00_of_99).recovery-150-of-156.divide"));

    const struct {
        const char* file;
        bool ok;
        RecoveryNumber number;
    } rows[] = {
        {"report.pdf(00_of_03).recovery-01-of-02.divide", true, {3, 1, 2}},
        {"REPORT.PDF(00_of_03).recovery-02-of-02.DIVIDE", true, {3, 2, 2}},
        {"report.pdf(00_of_99).recovery-150-of-156.divide", true, {99, 150, 156}},
        {"report.pdf(00_of_03).recovery-03-of-02.divide", false, {}},
        {"report.pdf(00_of_03).recovery-00-of-02.divide", false, {}},
        {"report.pdf(00_of_00).recovery-01-of-02.divide", false, {}},
        {"report.pdf(00_of_03).recovery-1-of-2.divide", false, {}},
        {"report.pdf(00_of_03).recovery-0001-of-0002.divide", false, {}},
        {"report.pdf(01_of_03).recovery-01-of-02.divide", false, {}},
        {"report.pdf(00_of_03).Recovery-01-of-02.divide", false, {}},
        {"report.pdf(00_of_03).recovery-01-of-02.divide.txt", false, {}},
        {"report(00_of_03).recovery-01-of-02.divide", false, {}},
    };
    for (const auto& row : rows) {
        auto file = TestFixture::T(row.file);
        RecoveryNumber number = {};
        EXPECT_EQ(ParseRecoveryFileName(TestFixture::V(file), TestFixture::V(divided), &number), row.ok)
            << row.file;
        EXPECT_EQ(number.count, row.number.count) << row.file;
        EXPECT_EQ(number.index, row.number.index) << row.file;
        EXPECT_EQ(number.total, row.number.total) << row.file;
    }

    PieceNumber piece;
    std::basic_string_view<TypeParam> dividedOfMade;
    EXPECT_FALSE(ParsePieceFileName(TestFixture::V(made), TestFixture::V(divided), &piece));
    EXPECT_TRUE(IsPieceFileName(TestFixture::V(made)));
    EXPECT_TRUE(DividedNameOf(TestFixture::V(made), &dividedOfMade));
    EXPECT_EQ(dividedOfMade, TestFixture::V(divided));
    EXPECT_EQ(PieceCountOfName(TestFixture::V(made)), 3);
    EXPECT_EQ(FindPieceMarker(TestFixture::V(made)), 3);
}

TYPED_TEST(PieceNamesTest, MergedNameStampsBeforeTheExtension)
{
    const struct {
        const char* divided;
        StampTime t;
        const char* merged;
    } rows[] = {
        {"report.pdf", {2027, 1, 5, 8, 7, 3}, "report(270105-080703).pdf"},
        {"README", {2027, 1, 5, 8, 7, 3}, "README(270105-080703)"},
        {"archive.tar.gz", {2026, 12, 6, 15, 43, 30}, "archive.tar(261206-154330).gz"},
        {"README", {2009, 10, 31, 23, 59, 59}, "README(091031-235959)"},
        {"a(01_of_02).txt", {2000, 2, 29, 0, 0, 0}, "a(01_of_02)(000229-000000).txt"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(MergedFileName(TestFixture::V(TestFixture::T(row.divided)), row.t),
                  TestFixture::T(row.merged))
            << row.merged;
}

}  // namespace
}  // namespace sundrel

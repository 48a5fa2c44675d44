#include <gtest/gtest.h>

#include "merged_name.h"

namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME t = {};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

TEST(MergeName, StampGoesBetweenNameAndLastExtension)
{
    wchar_t out[MAX_PATH];
    ASSERT_TRUE(FormatMergedName(L"report.pdf", At(2027, 1, 5, 8, 7, 3), out, MAX_PATH));
    EXPECT_STREQ(out, L"report(270105-080703).pdf");
    ASSERT_TRUE(FormatMergedName(L"archive.tar.gz", At(2026, 12, 6, 15, 43, 30), out, MAX_PATH));
    EXPECT_STREQ(out, L"archive.tar(261206-154330).gz");
    ASSERT_TRUE(FormatMergedName(L"README", At(2009, 10, 31, 23, 59, 59), out, MAX_PATH));
    EXPECT_STREQ(out, L"README(091031-235959)");
    ASSERT_TRUE(FormatMergedName(L"a(01_of_02).txt", At(2000, 2, 29, 0, 0, 0), out, MAX_PATH));
    EXPECT_STREQ(out, L"a(01_of_02)(000229-000000).txt");
}

TEST(MergeName, NameThatDoesNotFitIsNotCut)
{
    SYSTEMTIME t = At(2026, 12, 6, 15, 43, 30);
    wchar_t out[32];
    // "report(261206-154330).pdf" is 25 characters.
    ASSERT_TRUE(FormatMergedName(L"report.pdf", t, out, 26));
    EXPECT_STREQ(out, L"report(261206-154330).pdf");
    EXPECT_FALSE(FormatMergedName(L"report.pdf", t, out, 25));
    EXPECT_STREQ(out, L"");
}

}  // namespace

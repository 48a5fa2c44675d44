#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "piece_names.h"
#include "piece_paths.h"

namespace {

int FindMarker(const wchar_t* text)
{
    return sundrel::FindPieceMarker<wchar_t>(text, IsMarkerDigit);
}

TEST(PiecePaths, MarkerDigitsBeyondAscii)
{
    EXPECT_TRUE(IsMarkerDigit(L'0'));
    EXPECT_TRUE(IsMarkerDigit(L'9'));
    EXPECT_TRUE(IsMarkerDigit(0x00B2));
    EXPECT_TRUE(IsMarkerDigit(0x00B3));
    EXPECT_TRUE(IsMarkerDigit(0x00B9));
    EXPECT_TRUE(IsMarkerDigit(0xFF13));             // fullwidth 3
    EXPECT_FALSE(IsMarkerDigit(0x00BD));            // one half
    EXPECT_FALSE(IsMarkerDigit(L'a'));
    EXPECT_FALSE(IsMarkerDigit(L'\0'));
    // They pass the digit test, but a count that does not read as a number
    // is no marker; a number in them is never read.
    EXPECT_EQ(0, FindMarker(L"a(\xFF10\xFF11_of_\xFF10\xFF13)"));
    EXPECT_EQ(0, FindMarker(L"a(01_of_0\x00B3)"));
    EXPECT_EQ(3, FindMarker(L"a(\x00B9\x00B2_of_03)"));
    // The name recognisers of the programs take them as well.
    EXPECT_EQ(3, PieceCountOf(L"C:\\in\\a(\x00B9\x00B2_of_03).divide"));
    EXPECT_TRUE(IsPiecePath(L"C:\\in\\a(\xFF10\xFF11_of_03).divide"));
}

TEST(PiecePaths, FormatPieceNameAndPattern)
{
    wchar_t out[MAX_PATH];
    ASSERT_TRUE(FormatPieceName(L"C:\\data\\", L"report", L".pdf", 2, 3, out));
    EXPECT_STREQ(L"C:\\data\\report.pdf(02_of_03).divide", out);
    ASSERT_TRUE(FormatPieceName(L"C:\\data\\", L"README", L"", 1, 2, out));
    EXPECT_STREQ(L"C:\\data\\README(01_of_02).divide", out);
    ASSERT_TRUE(FormatPieceName(L"C:\\x\\", L"a(01_of_02)", L".txt", 3, 3, out));
    EXPECT_STREQ(L"C:\\x\\a(01_of_02).txt(03_of_03).divide", out);
    ASSERT_TRUE(FormatPieceName(L"C:\\x\\", L"a", L"", 100, 120, out));
    EXPECT_STREQ(L"C:\\x\\a(100_of_120).divide", out);
    ASSERT_TRUE(FormatPiecePattern(L"C:\\data\\", L"report", L".pdf", out));
    EXPECT_STREQ(L"C:\\data\\report.pdf(*.divide", out);
    ASSERT_TRUE(FormatPiecePattern(L"C:\\data\\", L"README", L"", out));
    EXPECT_STREQ(L"C:\\data\\README(*.divide", out);
    ASSERT_TRUE(FormatRecoveryName(L"C:\\data\\", L"report", L".pdf", 3, 1, 2, out));
    EXPECT_STREQ(L"C:\\data\\report.pdf(00_of_03).recovery-01-of-02.divide", out);
    // The pattern of the pieces finds the recovery pieces too.
    EXPECT_TRUE(PathMatchSpecW(out, L"C:\\data\\report.pdf(*.divide"));
    const std::wstring fits(MAX_PATH - 1 - 42, L'n');
    EXPECT_TRUE(FormatRecoveryName(L"C:\\", fits.c_str(), L".bin", 3, 1, 2, out));
    EXPECT_FALSE(FormatRecoveryName(L"C:\\", (fits + L"n").c_str(), L".bin", 3, 1, 2, out));
    EXPECT_STREQ(L"", out);
}

TEST(PiecePaths, FormatFailsRatherThanCutting)
{
    // "C:\" + name + ".bin(01_of_02).divide": 3 + n + 21 characters.
    const std::wstring fits(MAX_PATH - 1 - 24, L'n');
    wchar_t out[MAX_PATH];
    ASSERT_TRUE(FormatPieceName(L"C:\\", fits.c_str(), L".bin", 1, 2, out));
    EXPECT_EQ(size_t(MAX_PATH - 1), wcslen(out));

    const std::wstring tooLong = fits + L"n";
    wmemset(out, L'#', MAX_PATH);
    EXPECT_FALSE(FormatPieceName(L"C:\\", tooLong.c_str(), L".bin", 1, 2, out));
    EXPECT_STREQ(L"", out);

    const std::wstring folder = L"C:\\" + std::wstring(300, L'f') + L"\\";
    EXPECT_FALSE(FormatPieceName(folder.c_str(), L"a", L".txt", 1, 1, out));
    EXPECT_STREQ(L"", out);
    EXPECT_FALSE(FormatPiecePattern(folder.c_str(), L"a", L".txt", out));
    EXPECT_STREQ(L"", out);

    // A merged name: "report(261206-154330).pdf" is 25 characters.
    const std::wstring mergeFolder = L"C:\\" + std::wstring(MAX_PATH - 1 - 25 - 4, L'm') + L"\\";
    ASSERT_TRUE(JoinFileName(mergeFolder.c_str(), L"report(261206-154330).pdf", out));
    EXPECT_EQ(size_t(MAX_PATH - 1), wcslen(out));
    EXPECT_FALSE(JoinFileName((mergeFolder + L"m").c_str(), L"report(261206-154330).pdf", out));
    EXPECT_STREQ(L"", out);
}

TEST(PiecePaths, DividedFileNameAndCountOfAPiece)
{
    const struct {
        const wchar_t* path;
        const wchar_t* divided;
        int count;
    } cases[] = {
        {L"C:\\in\\report.pdf(02_of_03).divide", L"report.pdf", 3},
        // The piece's own marker, just before ".divide", wins over one that
        // the divided file's name or a folder carries.
        {L"C:\\in\\a(01_of_02).txt(01_of_03).divide", L"a(01_of_02).txt", 3},
        {L"C:\\a(01_of_02)\\report.pdf(01_of_03).divide", L"report.pdf", 3},
        // Without one at the end, the leftmost marker cuts the name.
        {L"C:\\in\\a(01_of_04)b.divide", L"a", 4},
    };
    wchar_t out[MAX_PATH];
    for (const auto& c : cases) {
        ASSERT_TRUE(GetDividedFileName(c.path, out, MAX_PATH)) << c.path;
        EXPECT_STREQ(c.divided, out) << c.path;
        EXPECT_EQ(c.count, PieceCountOf(c.path)) << c.path;
    }

    // Shorter than a marker: false, out untouched.
    wcscpy_s(out, L"kept");
    EXPECT_FALSE(GetDividedFileName(L"C:\\in\\abc.divide", out, MAX_PATH));
    EXPECT_STREQ(L"kept", out);
    // No marker: the name stays whole.
    ASSERT_TRUE(GetDividedFileName(L"C:\\in\\report.pdf.divide", out, MAX_PATH));
    EXPECT_STREQ(L"report.pdf", out);
    EXPECT_EQ(0, PieceCountOf(L"C:\\in\\report.pdf.divide"));

    // The result is bounded by the given size.
    wchar_t small[5];
    GetDividedFileName(L"C:\\in\\report.pdf(02_of_03).divide", small, 5);
    EXPECT_EQ(4u, wcsnlen(small, 5));
}

TEST(PiecePaths, PiecePathNeedsExtensionAndMarker)
{
    EXPECT_TRUE(IsPiecePath(L"C:\\x\\report.pdf(02_of_03).divide"));
    EXPECT_TRUE(IsPiecePath(L"C:\\x\\report.pdf(02_of_03).DIVIDE"));
    EXPECT_TRUE(IsPiecePath(L"C:\\x\\a(01_of_02)b.divide"));
    EXPECT_FALSE(IsPiecePath(L"C:\\x\\report.pdf(02_of_03).txt"));
    EXPECT_FALSE(IsPiecePath(L"C:\\x\\report.pdf(02_of_03).divide.txt"));
    EXPECT_FALSE(IsPiecePath(L"C:\\x(01_of_02)\\report.divide"));
    EXPECT_FALSE(IsPiecePath(L"C:\\x\\report(01_of_100).divide"));
    EXPECT_FALSE(IsPiecePath(L""));
}

}  // namespace

// The merge of the real Sundrel.exe, started with a piece: round trips and
// damaged divisions.
#include <wchar.h>

#include "divide_support.h"
#include "merge_support.h"
#include "resource.h"

namespace {

std::wstring Corrupted(const std::wstring& piece)
{
    return Message(L"Divide data is corrupted\n(%s)", L"分割データが破損しています\n(%s)", piece);
}
std::wstring CollectFailed()
{
    return Message(L"Failed to collect divided files.", L"入力・分割ファイルの収集に失敗しました。");
}
std::wstring ReadFailed()
{
    return Message(L"An error occurred while reading the input file",
                   L"入力ファイルの読み出しでエラーが発生しました");
}

TEST_F(MergeTest, WindowShowsThePieceAndClosesWithoutMerging)
{
    std::vector<std::wstring> pieces =
        WritePieces(folder, L"report.pdf", Source(10000, 1), kMiB, 0x12345678);
    UiProc proc;
    ASSERT_TRUE(UiStart(proc, UiSundrelExe(), UiQuote(pieces[0])));
    HWND dialog = UiFindDialog(proc, Lang(L"File Merge", L"ファイルの統合").c_str());
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(L"report.pdf(01_of_01).divide", UiGetItemText(dialog, IDC_FILE));
    EXPECT_EQ(Lang(L"Divided file", L"分割済みファイル"), UiGetItemText(dialog, IDC_FILE_LABEL));
    EXPECT_EQ(Lang(L"Start merging divided files", L"分割ファイル群の統合を開始する"),
              UiGetItemText(dialog, IDOK));
    EXPECT_EQ(Lang(L"Stop", L"中止"), UiGetItemText(dialog, IDC_STOP));
    EXPECT_FALSE(UiIsEnabled(dialog, IDC_STOP));
    EXPECT_FALSE(UiIsVisible(dialog, IDC_PROGRESS));
    UiClick(dialog, IDCANCEL);
    DWORD exitCode = 1;
    EXPECT_TRUE(UiWaitExit(proc, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_TRUE(MergedFiles(folder).empty());
}

TEST_F(MergeTest, RoundTripsOfEverySizeThroughAnyPiece)
{
    struct Case {
        size_t size;
        size_t pieceSize;
        const wchar_t* name;
        const wchar_t* ext;
    };
    const Case cases[] = {
        {1, kMiB, L"report", L".pdf"},
        {4095, kMiB, L"報告 書", L".txt"},
        {4096, kMiB, L"README", L""},
        {4097, kMiB, L"my file.tar", L".gz"},
        {10000, kMiB, L"report", L".pdf"},
        {kMiB, kMiB, L"報告 書", L".txt"},
        {kMiB + 1, kMiB, L"README", L""},
        {3 * kMiB, kMiB, L"my file.tar", L".gz"},
        {3 * kMiB - 5000, kMiB, L"report", L".pdf"},
        {16 * kMiB + 1, 16 * kMiB, L"報告 書", L".txt"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::wstring dir = Subfolder(L"case" + std::to_wstring(++n));
        std::string source = Source(c.size, n);
        std::vector<std::wstring> pieces =
            WritePieces(dir, std::wstring(c.name) + c.ext, source, c.pieceSize, 0x6500 + n);
        // First, last or middle piece in turn.
        const std::wstring& selected = pieces[n % 3 == 0 ? 0 : n % 3 == 1 ? pieces.size() - 1
                                                                            : pieces.size() / 2];
        ExpectMerged(selected, dir, c.name, c.ext, source);
        for (const std::wstring& piece : pieces)
            EXPECT_TRUE(UiFileExists(piece));
    }
}

TEST_F(MergeTest, DamagedDivisionsLeaveNoMergedFile)
{
    struct Case {
        const char* what;
        size_t size;   // of the source, in 1 MiB pieces
        std::function<std::wstring(std::vector<std::wstring>&)> damage;   // gives the message
    };
    const size_t chunk = kBlock + 2;
    const size_t threeParts = 2 * kMiB + 10000;   // last piece: 3 blocks, the last short
    const size_t wholeBlocks = 2 * kMiB + 3 * kBlock;
    const Case cases[] = {
        {"bit flipped in the data of a block", threeParts, [&](std::vector<std::wstring>& p) {
             Rewrite(p[1], [&](std::string& b) { b[4 + 5 * chunk + 77] ^= 0x10; });
             return Corrupted(p[1]);
         }},
        {"bit flipped in an FCS", threeParts, [&](std::vector<std::wstring>& p) {
             Rewrite(p[0], [&](std::string& b) { b[b.size() - 1] ^= 0x01; });
             return Corrupted(p[0]);
         }},
        {"bit flipped in an ID", threeParts, [&](std::vector<std::wstring>& p) {
             Rewrite(p[2], [&](std::string& b) { b[2] ^= 0x04; });
             return CollectFailed();
         }},
        {"a piece missing", threeParts, [&](std::vector<std::wstring>& p) {
             DeleteFileW(p[1].c_str());
             return CollectFailed();
         }},
        {"second piece 2 of another count", threeParts, [&](std::vector<std::wstring>& p) {
             std::wstring twin = p[1].substr(0, p[1].size() - 17) + L"(02_of_04).divide";
             EXPECT_TRUE(CopyFileW(p[1].c_str(), twin.c_str(), TRUE));
             return CollectFailed();
         }},
        {"piece cut at a block boundary", threeParts, [&](std::vector<std::wstring>& p) {
             Rewrite(p[1], [&](std::string& b) { b.resize(b.size() - chunk); });
             return Corrupted(p[1]);
         }},
        {"first piece cut at a block boundary", threeParts, [&](std::vector<std::wstring>& p) {
             Rewrite(p[0], [&](std::string& b) { b.resize(b.size() - 3 * chunk); });
             return Corrupted(p[0]);
         }},
        {"piece cut inside a block", threeParts, [&](std::vector<std::wstring>& p) {
             Rewrite(p[0], [&](std::string& b) { b.resize(b.size() - 100); });
             return Corrupted(p[0]);
         }},
        {"last piece cut inside a block", threeParts, [&](std::vector<std::wstring>& p) {
             Rewrite(p[2], [&](std::string& b) { b.resize(b.size() - 1); });
             return Corrupted(p[2]);
         }},
        {"tail of 1 byte", threeParts, [&](std::vector<std::wstring>& p) {
             Rewrite(p[1], [&](std::string& b) { b += 'x'; });
             return ReadFailed();
         }},
        {"tail of 2 bytes after full blocks", wholeBlocks, [&](std::vector<std::wstring>& p) {
             Rewrite(p[2], [&](std::string& b) { b += "xy"; });
             return ReadFailed();
         }},
        {"last piece longer than the others", threeParts, [&](std::vector<std::wstring>& p) {
             std::string longer = ReadAll(p[0]) + PieceBytes("z", 0).substr(4);
             Rewrite(p[2], [&](std::string& b) { b = longer; });
             return Corrupted(p[2]);
         }},
        {"piece of a bare ID", threeParts, [&](std::vector<std::wstring>& p) {
             Rewrite(p[2], [&](std::string& b) { b.resize(4); });
             return Corrupted(p[2]);
         }},
    };
    Settings(0, L"", 0, 1);   // pieces must stay after a failure all the same
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring dir = Subfolder(L"case" + std::to_wstring(++n));
        std::vector<std::wstring> pieces =
            WritePieces(dir, L"report.pdf", Source(c.size, n), kMiB, 0x7700 + n);
        std::wstring text = c.damage(pieces);
        // Read-only: the merged file takes it over and must go all the same.
        SetFileAttributesW(pieces[0].c_str(), FILE_ATTRIBUTE_READONLY);
        ExpectFailure(pieces[0], text);
    }

    std::wstring missing = UiJoin(folder, L"gone.pdf(01_of_02).divide");
    ExpectFailure(missing, Message(L"The specified file does not exist\n(%s)",
                                   L"指定されたファイルがありません\n(%s)", missing));
}

TEST_F(MergeTest, MergesUnusualButSoundDivisions)
{
    {
        SCOPED_TRACE("last block of 1 data byte, others beside");
        std::wstring dir = Subfolder(L"one");
        std::string source = Source(2 * kMiB + 1, 1);
        std::vector<std::wstring> pieces = WritePieces(dir, L"report.pdf", source, kMiB, 1);
        ASSERT_EQ(7, UiFileSize(pieces[2]));
        WritePieces(dir, L"report.pdf", Source(5 * kMiB, 2), kMiB, 2);   // (NN_of_05)
        CopyFileW(pieces[2].c_str(), UiJoin(dir, L"report.pdf(03_of_03) - Copy.divide").c_str(), TRUE);
        UiWriteBytes(UiJoin(dir, L"report.pdf.divide"), PieceBytes("x", 1));
        ExpectMerged(pieces[1], dir, L"report", L".pdf", source);
    }
    {
        SCOPED_TRACE("folder and name with markers of their own");
        std::wstring dir = Subfolder(L"a(01_of_02)");
        std::string source = Source(kMiB + 9, 3);
        std::vector<std::wstring> pieces = WritePieces(dir, L"b(01_of_05).txt", source, kMiB, 3);
        ExpectMerged(pieces[0], dir, L"b(01_of_05)", L".txt", source);
    }
    {
        SCOPED_TRACE("empty file");
        std::wstring dir = Subfolder(L"empty");
        std::vector<std::wstring> pieces = WritePieces(dir, L"empty.bin", "", kMiB, 4);
        ASSERT_EQ(0, UiFileSize(pieces[0]));
        ExpectMerged(pieces[0], dir, L"empty", L".bin", "");
    }
    {
        SCOPED_TRACE("read-only pieces");
        std::wstring dir = Subfolder(L"readonly");
        std::string source = Source(kMiB + 4096, 5);
        std::vector<std::wstring> pieces = WritePieces(dir, L"data", source, kMiB, 5);
        for (const std::wstring& piece : pieces)
            SetFileAttributesW(piece.c_str(), FILE_ATTRIBUTE_READONLY);
        std::wstring merged = ExpectMerged(pieces[1], dir, L"data", L"", source);
        EXPECT_TRUE(GetFileAttributesW(merged.c_str()) & FILE_ATTRIBUTE_READONLY);
    }
}

// Divided by the program itself, merged again.
TEST_F(MergeTest, RoundTripsThroughTheProgramsOwnDivision)
{
    const struct {
        size_t size;
        const wchar_t* name;
        const wchar_t* ext;
    } cases[] = {
        {0, L"empty", L".bin"},
        {4097, L"報告 書", L".pdf"},
        {kMiB + 1, L"README", L""},
        {3 * kMiB, L"my file", L".dat"},
    };
    UiRegSetDword(L"DivSize", 1);
    UiRegSetDword(L"fDivRmv", 1);
    UiRegSetDword(L"fDivOpen", 0);
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::wstring dir = Subfolder(L"source" + std::to_wstring(++n));
        std::wstring out = Subfolder(L"pieces" + std::to_wstring(n));
        UiRegSetString(L"DivDir", out);
        std::string source = Source(c.size, 20 + n);
        std::wstring file = UiJoin(dir, std::wstring(c.name) + c.ext);
        ASSERT_TRUE(UiWriteBytes(file, source));
        DivideQuietly(file);
        std::vector<std::wstring> pieces = UiListFiles(out, L"*.divide");
        ASSERT_EQ(c.size ? (c.size + kMiB - 1) / kMiB : 1, pieces.size());
        ExpectMerged(UiJoin(out, pieces.back()), out, c.name, c.ext, source);
    }
}

}  // namespace

// The merge of the real Sundrel.exe: its settings, the folder it opens, two
// merges at once, and Stop.
#include "divide_support.h"
#include "merge_support.h"
#include "resource.h"

namespace {

TEST_F(MergeTest, FollowsTheMergeSettings)
{
    std::string source = Source(kMiB + 100, 7);
    std::wstring pieceDir = Subfolder(L"pieces");
    std::wstring outDir = Subfolder(L"out");
    std::vector<std::wstring> pieces = WritePieces(pieceDir, L"report.pdf", source, kMiB, 7);
    std::vector<std::wstring> others = WritePieces(pieceDir, L"other.pdf", source, kMiB, 7);
    {
        SCOPED_TRACE("MrgDir");
        Settings(1, outDir, 0, 0);
        ExpectMerged(pieces[0], outDir, L"report", L".pdf", source);
        EXPECT_TRUE(MergedFiles(pieceDir).empty());
    }
    {
        SCOPED_TRACE("MrgDir that is not a folder");
        std::wstring missing = UiJoin(folder, L"missing");
        Settings(1, missing, 0, 1);
        ExpectFailure(pieces[1], Message(L"The location specified for output is not a folder \n(%s)",
                                         L"出力に指定した場所はフォルダではありません\n(%s)",
                                         missing + L"\\"));
        EXPECT_FALSE(UiDirExists(missing));
    }
    {
        SCOPED_TRACE("fMrgRmv");
        SetFileAttributesW(pieces[1].c_str(), FILE_ATTRIBUTE_READONLY);
        Settings(0, outDir, 0, 1);
        ExpectMerged(pieces[1], pieceDir, L"report", L".pdf", source);
        for (const std::wstring& piece : pieces)
            EXPECT_FALSE(UiFileExists(piece));
        for (const std::wstring& piece : others)
            EXPECT_TRUE(UiFileExists(piece));
    }
}

TEST_F(MergeTest, OpensTheOutputFolderOnlyWhenAsked)
{
    std::string source = Source(5000, 10);
    std::wstring dir = Subfolder(L"open-after-merge");
    std::vector<std::wstring> pieces = WritePieces(dir, L"report.pdf", source, kMiB, 10);
    ExpectMerged(pieces[0], dir, L"report", L".pdf", source);
    Sleep(1500);
    EXPECT_EQ(nullptr, UiFindFolderWindow(L"open-after-merge"));
    DeleteFileW(UiJoin(dir, MergedFiles(dir)[0]).c_str());

    Settings(0, L"", 1, 0);
    ExpectMerged(pieces[0], dir, L"report", L".pdf", source);
    HWND shown = nullptr;
    EXPECT_TRUE(UiWaitFor([&] { return (shown = UiFindFolderWindow(L"open-after-merge")) != nullptr; }));
    if (shown) {
        PostMessageW(shown, WM_CLOSE, 0, 0);
        UiWaitGone(shown);
    }
}

TEST_F(MergeTest, SecondMergeInTheSameSecondLeavesTheFirstAlone)
{
    std::string source = Source(300000, 8);
    std::vector<std::wstring> pieces = WritePieces(folder, L"report.pdf", source, kMiB, 8);
    // Both Start presses land early in one second; a try that straddles a
    // second anyway gives two files and is repeated.
    for (int attempt = 0; attempt < 3; ++attempt) {
        UiProc first, second;
        ASSERT_TRUE(UiStart(first, UiSundrelExe(), UiQuote(pieces[0])));
        ASSERT_TRUE(UiStart(second, UiSundrelExe(), UiQuote(pieces[0])));
        HWND one = UiFindDialog(first);
        HWND two = UiFindDialog(second);
        ASSERT_TRUE(one && two);
        UiWaitFor([] {
            SYSTEMTIME t;
            GetLocalTime(&t);
            return t.wMilliseconds < 50;
        }, 2000);
        UiClick(one, IDOK);
        UiClick(two, IDOK);
        std::vector<UiMsgBox> boxes;
        for (UiProc* proc : {&first, &second}) {
            UiMsgBox box;
            UiWaitFor([&] { return UiFindMsgBoxNow(*proc, &box) || !UiIsRunning(*proc); }, 30000);
            if (box.window) {
                boxes.push_back(box);
                UiAnswerMsgBox(box, IDOK);
            }
            DWORD exitCode = 1;
            EXPECT_TRUE(UiWaitExit(*proc, &exitCode));
            EXPECT_EQ(0u, exitCode);
        }
        std::vector<std::wstring> merged = MergedFiles(folder);
        if (boxes.empty() && merged.size() == 2) {
            for (const std::wstring& name : merged)
                DeleteFileW(UiJoin(folder, name).c_str());
            continue;
        }
        ASSERT_EQ(1u, boxes.size());
        ASSERT_EQ(1u, merged.size());
        std::wstring path = UiJoin(folder, merged[0]);
        EXPECT_EQ(UiToUtf8(Message(L"Could not create divide file\n(%s)",
                                   L"統合ファイルを作成できませんでした\n(%s)", path)),
                  UiToUtf8(boxes[0].text));
        EXPECT_TRUE(ReadAll(path) == source);
        return;
    }
    FAIL() << "the two merges never ran within one second";
}

TEST_F(MergeTest, StopDuringALargeMerge)
{
    // 512 MiB in 32 pieces of 16 MiB; every block alike, so writing is quick.
    const size_t pieceSize = 16 * kMiB;
    std::string block = Source(kBlock, 9);
    std::string piece = PieceBytes(block, 9);
    std::string blockBytes = piece.substr(4);
    piece.reserve(4 + pieceSize / kBlock * blockBytes.size());
    while (piece.size() < 4 + pieceSize / kBlock * blockBytes.size())
        piece += blockBytes;
    std::vector<std::wstring> pieces;
    for (int i = 1; i <= 32; ++i) {
        pieces.push_back(UiJoin(folder, PieceName(L"big.bin", i, 32)));
        ASSERT_TRUE(UiWriteBytes(pieces.back(), piece));
    }
    UiProc proc;
    ASSERT_TRUE(UiStart(proc, UiSundrelExe(), UiQuote(pieces[5])));
    HWND dialog = UiFindDialog(proc);
    ASSERT_NE(nullptr, dialog);
    UiClick(dialog, IDOK);
    std::wstring merged;
    ASSERT_TRUE(UiWaitFor([&] {
        std::vector<std::wstring> files = MergedFiles(folder);
        if (files.size() == 1 && UiFileSize(UiJoin(folder, files[0])) > (int64_t)(8 * kMiB))
            merged = UiJoin(folder, files[0]);
        return !merged.empty() || !UiIsRunning(proc);
    }, 60000));
    ASSERT_FALSE(merged.empty()) << "the merge ended before it could be watched";
    EXPECT_TRUE(UiIsEnabled(dialog, IDC_STOP));
    EXPECT_TRUE(UiIsVisible(dialog, IDC_PROGRESS));
    // Start again while merging: no second merge inside the first.
    UiClick(dialog, IDOK);
    UiClick(dialog, IDOK);
    Sleep(200);
    UiClick(dialog, IDC_STOP);
    DWORD exitCode = 1;
    UiMsgBox box;
    UiWaitFor([&] { return UiFindMsgBoxNow(proc, &box, dialog) || !UiIsRunning(proc); }, 30000);
    EXPECT_EQ(nullptr, box.window) << UiToUtf8(box.text);
    EXPECT_TRUE(UiWaitExit(proc, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_TRUE(MergedFiles(folder).empty());
    EXPECT_EQ(32u, UiListFiles(folder).size());
}

}  // namespace

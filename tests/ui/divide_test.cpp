// The division as a user runs it: pieces checked byte for byte, stale
// pieces, the error messages, Stop, attributes and the folder opened.
#include <gtest/gtest.h>

#include <windows.h>

#include "divide_support.h"
#include "resource.h"

namespace {

const uint64_t kMiB = 1 << 20;

// Message texts; a path in parentheses follows those that name one.
const std::wstring kStaleQuestion =
    Lang(L"A divided file with the same name exists.\n\n     Do you want to remove these?",
         L"同名の分割ファイルが存在します。\n\n    これらを削除しますか？");
std::wstring NoSource(const std::wstring& path)
{
    return Lang(L"The specified file does not exist\n(", L"指定されたファイルがありません\n(") +
           path + L")";
}
std::wstring NotFolder(const std::wstring& path)
{
    return Lang(L"The location specified for output is not a folder \n(",
                L"出力に指定した場所はフォルダではありません\n(") +
           path + L")";
}
std::wstring CannotCreate(const std::wstring& path)
{
    return Lang(L"Could not create divide file\n(", L"分割ファイルを作成できませんでした\n(") +
           path + (path.empty() ? L"" : L")");
}

class Divide : public ::testing::Test {
protected:
    void SetUp() override { folders = PrepareDivision(L"sundrel-divide"); }
    void TearDown() override { UiRemoveTree(folders.dir); }

    std::wstring Source(const std::wstring& name) const { return UiJoin(folders.dir, name); }
    std::wstring Out(const std::wstring& name) const { return UiJoin(folders.out, name); }

    // Writes a source of size bytes, divides it and checks the pieces.
    void DivideAndCheck(const std::wstring& name, uint64_t size, uint64_t pieceSize)
    {
        SCOPED_TRACE(UiToUtf8(name) + ", " + std::to_string(size) + " bytes");
        std::string bytes;
        ASSERT_TRUE(UiWriteFile(Source(name), size, uint32_t(size) + 7));
        ASSERT_TRUE(UiReadFile(Source(name), &bytes));
        uint32_t before = UnixSecondsNow();
        DivideQuietly(Source(name));
        ExpectPieces(folders.out, name, bytes, pieceSize, before - 1, UnixSecondsNow() + 1);
    }

    // Starts a division that must end with exactly this error box.
    void ExpectError(const std::wstring& file, const std::wstring& text)
    {
        UiProc proc;
        HWND window = StartDivide(proc, file);
        ASSERT_TRUE(window);
        UiClick(window, IDOK);
        UiMsgBox box;
        ASSERT_TRUE(UiWaitMsgBox(proc, &box, window));
        EXPECT_EQ(OpCaption(), box.caption);
        EXPECT_EQ(text, box.text);
        UiAnswerMsgBox(box, IDOK);
        ExpectQuietExit(proc);
    }

    DivideFolders folders;
};

bool MakeSparseFile(const std::wstring& path, uint64_t size)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = LONGLONG(size);
    bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

TEST_F(Divide, SizesAndNamesWithDivSize1)
{
    DivideAndCheck(L"zero.bin", 0, kMiB);
    DivideAndCheck(L"one", 1, kMiB);
    DivideAndCheck(L"with space.dat", 4095, kMiB);
    DivideAndCheck(L"日本語の名前.txt", 4096, kMiB);
    DivideAndCheck(L"a.b.c", 4097, kMiB);
    DivideAndCheck(L"ten thousand.pdf", 10000, kMiB);
    DivideAndCheck(L"exact.bin", kMiB, kMiB);
    DivideAndCheck(L"exact plus one.bin", kMiB + 1, kMiB);
    DivideAndCheck(L"three", 3 * kMiB, kMiB);
    DivideAndCheck(L"three plus.bin", 3 * kMiB + 1, kMiB);
}

TEST_F(Divide, DefaultSizeAndStoredZero)
{
    UiRegDeleteValue(L"DivSize");
    DivideAndCheck(L"small.bin", 10000, 16 * kMiB);
    DivideAndCheck(L"two mib.bin", 2 * kMiB + 5, 16 * kMiB);
    // A stored 0 divides as the default.
    UiRegSetDword(L"DivSize", 0);
    DivideAndCheck(L"zero size.bin", 3 * kMiB, 16 * kMiB);
}

TEST_F(Divide, StalePiecesGoSilentlyReadOnlyOnesToo)
{
    UiWriteFile(Out(L"s.bin(01_of_05).divide"), 10);
    UiWriteFile(Out(L"s.bin(04_of_05).divide"), 10);
    SetFileAttributesW(Out(L"s.bin(04_of_05).divide").c_str(), FILE_ATTRIBUTE_READONLY);
    UiWriteFile(Out(L"s.bin(copy).divide"), 10);        // no marker: stays
    UiWriteFile(Out(L"t.bin(01_of_02).divide"), 10);    // another file's piece
    UiWriteFile(Out(L"s.bin(2)(01_of_03).divide"), 10); // a piece of "s.bin(2)"
    DivideAndCheck(L"s.bin", 5000, kMiB);
    EXPECT_EQ((std::vector<std::wstring>{L"s.bin(01_of_01).divide", L"s.bin(2)(01_of_03).divide",
                                         L"s.bin(copy).divide", L"t.bin(01_of_02).divide"}),
              UiListFiles(folders.out));
}

TEST_F(Divide, StalePiecesAskedOnceYesDeletesAndDivides)
{
    UiRegSetDword(L"fDivRmv", 0);
    UiWriteFile(Source(L"q.bin"), 6000);
    for (const wchar_t* name : {L"q.bin(01_of_03).divide", L"q.bin(02_of_03).divide",
                                L"q.bin(03_of_03).divide"})
        UiWriteFile(Out(name), 10);
    SetFileAttributesW(Out(L"q.bin(02_of_03).divide").c_str(), FILE_ATTRIBUTE_READONLY);
    UiWriteFile(Out(L"q.bin(old).divide"), 10);

    UiProc proc;
    HWND window = StartDivide(proc, Source(L"q.bin"));
    ASSERT_TRUE(window);
    UiClick(window, IDOK);
    UiMsgBox box;
    ASSERT_TRUE(UiWaitMsgBox(proc, &box, window));
    EXPECT_EQ(OpCaption(), box.caption);
    EXPECT_EQ(kStaleQuestion, box.text);
    UiAnswerMsgBox(box, IDYES);
    ExpectQuietExit(proc);   // a second question would fail here
    std::string bytes;
    UiReadFile(Source(L"q.bin"), &bytes);
    ExpectPieces(folders.out, L"q.bin", bytes, kMiB, 0, UINT32_MAX);
    EXPECT_TRUE(UiFileExists(Out(L"q.bin(old).divide")));
}

TEST_F(Divide, StalePiecesKeptWhenDeclinedAndNoQuestionWithoutThem)
{
    UiRegSetDword(L"fDivRmv", 0);
    UiWriteFile(Source(L"k.bin"), 6000);
    UiWriteFile(Out(L"k.bin(01_of_02).divide"), 10);
    UiWriteFile(Out(L"k.bin(02_of_02).divide"), 10);

    UiProc proc;
    HWND window = StartDivide(proc, Source(L"k.bin"));
    ASSERT_TRUE(window);
    UiClick(window, IDOK);
    UiMsgBox box;
    ASSERT_TRUE(UiWaitMsgBox(proc, &box, window));
    EXPECT_EQ(kStaleQuestion, box.text);
    UiAnswerMsgBox(box, IDNO);
    ExpectQuietExit(proc);
    EXPECT_EQ((std::vector<std::wstring>{L"k.bin(01_of_02).divide", L"k.bin(02_of_02).divide"}),
              UiListFiles(folders.out));
    EXPECT_EQ(10, UiFileSize(Out(L"k.bin(01_of_02).divide")));

    // Files of the pattern without a marker ask nothing.
    UiWriteFile(Out(L"m.bin(copy).divide"), 10);
    DivideAndCheck(L"m.bin", 100, kMiB);
    EXPECT_TRUE(UiFileExists(Out(L"m.bin(copy).divide")));
}

TEST_F(Divide, MissingFileAndNotAFolder)
{
    ExpectError(Source(L"missing.bin"), NoSource(Source(L"missing.bin")));

    UiWriteFile(Source(L"n.bin"), 100);
    UiWriteFile(Out(L"n.bin(01_of_01).divide"), 10);
    UiRegSetString(L"DivDir", Source(L"n.bin"));
    ExpectError(Source(L"n.bin"), NotFolder(Source(L"n.bin") + L"\\"));
    UiRegSetString(L"DivDir", Source(L"nowhere"));
    ExpectError(Source(L"n.bin"), NotFolder(Source(L"nowhere") + L"\\"));
    // Nothing was deleted.
    EXPECT_TRUE(UiFileExists(Out(L"n.bin(01_of_01).divide")));
}

TEST_F(Divide, LockedSourceIsReportedAndTouchesNothing)
{
    // Empty or not, a source that cannot be read must never pass for an
    // empty one, and nothing earlier may go.
    for (uint64_t size : {uint64_t(0), uint64_t(5000)}) {
        UiWriteFile(Source(L"locked.bin"), size);
        UiWriteFile(Out(L"locked.bin(01_of_01).divide"), 10);
        HANDLE lock = CreateFileW(Source(L"locked.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, lock);
        ExpectError(Source(L"locked.bin"),
                    Lang(L"Unable to open input file\n(", L"入力ファイルをオープンできません\n(") +
                        Source(L"locked.bin") + L")");
        CloseHandle(lock);
        EXPECT_EQ(std::vector<std::wstring>{L"locked.bin(01_of_01).divide"}, UiListFiles(folders.out));
    }
}

TEST_F(Divide, CreateErrorsLeaveNothing)
{
    // A folder in the way of the second piece.
    UiWriteFile(Source(L"c.bin"), kMiB + 10);
    ASSERT_TRUE(CreateDirectoryW(Out(L"c.bin(02_of_02).divide").c_str(), nullptr));
    ExpectError(Source(L"c.bin"), CannotCreate(Out(L"c.bin(02_of_02).divide")));
    EXPECT_TRUE(UiListFiles(folders.out).empty());
    EXPECT_TRUE(UiDirExists(Out(L"c.bin(02_of_02).divide")));

    // A piece path beyond the path buffer is refused, never cut.
    std::wstring longName = std::wstring(250 - folders.dir.size(), L'x') + L".bin";
    ASSERT_TRUE(UiWriteFile(Source(longName), 100));
    UiProc proc;
    HWND window = StartDivide(proc, Source(longName));
    ASSERT_TRUE(window);
    UiClick(window, IDOK);
    UiMsgBox box;
    ASSERT_TRUE(UiWaitMsgBox(proc, &box, window));
    EXPECT_EQ(0u, box.text.find(CannotCreate(L"") + folders.out)) << UiToUtf8(box.text);
    UiAnswerMsgBox(box, IDOK);
    ExpectQuietExit(proc);
    EXPECT_TRUE(UiListFiles(folders.out).empty());
    EXPECT_TRUE(UiDirExists(Out(L"c.bin(02_of_02).divide")));
}

TEST_F(Divide, HundredPiecesRefusedBeforeAnythingIsTouched)
{
    ASSERT_TRUE(MakeSparseFile(Source(L"r.bin"), 99 * kMiB + 1));
    UiWriteFile(Out(L"r.bin(01_of_07).divide"), 10);
    ExpectError(Source(L"r.bin"),
                Lang(L"The file would be divided into 100 pieces, but at most 99 are possible.\n"
                     L"Please choose a larger division size.",
                     L"分割数が 100 個になります。分割できるのは 99 個までです。\n"
                     L"分割サイズを大きくしてください。"));
    EXPECT_EQ(std::vector<std::wstring>{L"r.bin(01_of_07).divide"}, UiListFiles(folders.out));
}

TEST_F(Divide, StopAndCloseBoxDuringADivisionLeaveNothing)
{
    UiRegSetDword(L"DivSize", 16);
    ASSERT_TRUE(MakeSparseFile(Source(L"big.bin"), 512 * kMiB));
    for (bool stopButton : {true, false}) {
        SCOPED_TRACE(stopButton ? "Stop" : "close box");
        UiProc proc;
        HWND window = StartDivide(proc, Source(L"big.bin"));
        ASSERT_TRUE(window);
        UiClick(window, IDOK);
        ASSERT_TRUE(UiWaitFor([&] { return UiFileExists(Out(L"big.bin(02_of_32).divide")); },
                              120000));
        EXPECT_TRUE(UiIsEnabled(window, IDC_STOP));
        EXPECT_TRUE(UiIsVisible(window, IDC_PROGRESS));
        // A second start meanwhile is ignored.
        UiClick(window, IDOK);
        if (stopButton)
            UiClick(window, IDC_STOP);
        else
            PostMessageW(window, WM_CLOSE, 0, 0);
        ExpectQuietExit(proc);
        EXPECT_TRUE(UiListFiles(folders.out).empty());
    }
}

TEST_F(Divide, ReadOnlySourceGivesReadOnlyPieces)
{
    ASSERT_TRUE(UiWriteFile(Source(L"ro.bin"), kMiB + 100));
    SetFileAttributesW(Source(L"ro.bin").c_str(), FILE_ATTRIBUTE_READONLY);
    DivideQuietly(Source(L"ro.bin"));
    for (const wchar_t* name : {L"ro.bin(01_of_02).divide", L"ro.bin(02_of_02).divide"}) {
        DWORD attributes = GetFileAttributesW(Out(name).c_str());
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes) << UiToUtf8(name);
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY) << UiToUtf8(name);
    }
    std::string bytes;
    UiReadFile(Source(L"ro.bin"), &bytes);
    ExpectPieces(folders.out, L"ro.bin", bytes, kMiB, 0, UINT32_MAX);
    // Pieces beside the source when fDivDir is 0; the read-only stale ones
    // of the earlier run go.
    UiRegSetDword(L"fDivDir", 0);
    DivideQuietly(Source(L"ro.bin"));
    ExpectPieces(folders.dir, L"ro.bin", bytes, kMiB, 0, UINT32_MAX);
    SetFileAttributesW(Source(L"ro.bin").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The folder shown is told by its window: counting explorer processes would
// also count Wine's desktop, which starts anew with the first window after
// the last program has ended.
TEST_F(Divide, FolderOpenedOnlyOnSuccessWithFDivOpen)
{
    UiRegSetDword(L"fDivOpen", 1);
    const std::wstring out = UiJoin(folders.dir, L"opened-after-divide");
    CreateDirectoryW(out.c_str(), nullptr);
    UiRegSetString(L"DivDir", out);
    ExpectError(Source(L"absent.bin"), NoSource(Source(L"absent.bin")));
    // A viewer the run started would be up by now: the start precedes its end.
    Sleep(1500);
    EXPECT_EQ(nullptr, UiFindFolderWindow(L"opened-after-divide")) << "a folder was opened after a failure";

    UiWriteFile(Source(L"open.bin"), 10);
    DivideQuietly(Source(L"open.bin"));
    HWND shown = nullptr;
    EXPECT_TRUE(UiWaitFor([&] { return (shown = UiFindFolderWindow(L"opened-after-divide")) != nullptr; }, 10000))
        << "no folder viewer started";
    if (shown) {
        PostMessageW(shown, WM_CLOSE, 0, 0);
        UiWaitGone(shown);
    }
}

}  // namespace

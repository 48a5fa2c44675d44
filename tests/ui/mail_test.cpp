// The hand-off to Outlook: the stand-in outlook.exe records each start.
#include <gtest/gtest.h>

#include <algorithm>

#include "divide_support.h"
#include "resource.h"

namespace {

const uint64_t kMiB = 1 << 20;

class Mail : public ::testing::Test {
protected:
    void SetUp() override
    {
        folders = PrepareDivision(L"sundrel-mail");
        // Pieces in a folder with a space, Outlook in another one.
        pieces = UiJoin(folders.dir, L"piece folder");
        CreateDirectoryW(pieces.c_str(), nullptr);
        UiRegSetString(L"DivDir", pieces);
        outlookDir = UiJoin(folders.dir, L"Office Dir");
        CreateDirectoryW(outlookDir.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(UiOutlookExe().c_str(), UiJoin(outlookDir, L"outlook.exe").c_str(),
                              FALSE));
        UiRegSetString(L"OutlookDir", outlookDir);
        log = UiJoin(outlookDir, L"outlook.log");
    }
    void TearDown() override { UiRemoveTree(folders.dir); }

    std::wstring Source(const std::wstring& name) const { return UiJoin(folders.dir, name); }
    std::wstring Piece(const std::wstring& name) const { return UiJoin(pieces, name); }

    struct Options {
        bool outlook = true;
        bool questionForm = true;
        std::wstring recipient;
        std::wstring subject;
    };

    // Starts a division of file with the Outlook options typed in, not
    // registered, and presses the start button.
    HWND StartWithOptions(UiProc& proc, const std::wstring& file, const Options& options)
    {
        HWND window = StartDivide(proc, file);
        if (!window)
            return nullptr;
        UiSetCheck(window, IDC_OUTLOOK, options.outlook);
        // The mail options follow the box.
        EXPECT_TRUE(UiWaitFor([&] { return UiIsEnabled(window, IDC_TO) == options.outlook; }, 5000));
        UiSetCheck(window, options.questionForm ? IDC_FORM_QUEST : IDC_FORM_AMP, true);
        UiSetItemText(window, IDC_TO, options.recipient);
        UiSetItemText(window, IDC_SUBJ, options.subject);
        UiClick(window, IDOK);
        return window;
    }

    void RunQuietly(const std::wstring& file, const Options& options)
    {
        UiProc proc;
        ASSERT_TRUE(StartWithOptions(proc, file, options));
        ExpectQuietExit(proc);
    }

    // The parameters of every start so far, in the order of the starts, the
    // program path taken off.
    std::vector<std::wstring> Starts(size_t expected)
    {
        std::vector<std::wstring> lines;
        UiWaitFor([&] { return (lines = UiReadLines(log)).size() >= expected; }, 10000);
        // Starts that come late would show up meanwhile.
        Sleep(expected ? 300 : 1500);
        lines = UiReadOutlookStarts(log);
        std::vector<std::wstring> params;
        for (const std::wstring& line : lines) {
            size_t exe = line.find(L"outlook.exe");
            size_t start = exe == std::wstring::npos ? 0 : exe + 11;
            if (start < line.size() && line[start] == L'"')
                ++start;
            while (start < line.size() && line[start] == L' ')
                ++start;
            params.push_back(line.substr(start));
        }
        return params;
    }

    DivideFolders folders;
    std::wstring pieces, outlookDir, log;
};

TEST_F(Mail, ThreePiecesQuestionForm)
{
    UiWriteFile(Source(L"report.pdf"), 2 * kMiB + 10);
    Options options;
    options.recipient = L"Team Lead <lead@example.com>";
    options.subject = L"Report (&N&)";
    RunQuietly(Source(L"report.pdf"), options);
    const std::wstring head = L"/c ipm.note /m \"Team Lead <lead@example.com>?subject=Report%20(";
    EXPECT_EQ((std::vector<std::wstring>{
                  head + L"1%20/%203)\" /a \"" + Piece(L"report.pdf(01_of_03).divide") + L"\"",
                  head + L"2%20/%203)\" /a \"" + Piece(L"report.pdf(02_of_03).divide") + L"\"",
                  head + L"3%20/%203)\" /a \"" + Piece(L"report.pdf(03_of_03).divide") + L"\""}),
              Starts(3));
}

// After the pieces' sheets, one per recovery piece, with its own number in
// the subject.
TEST_F(Mail, RecoveryPiecesFollowThePieces)
{
    UiRegSetDword(L"DivRec", 2);
    UiWriteFile(Source(L"report.pdf"), kMiB + 10);
    Options options;
    options.recipient = L"team";
    options.subject = L"Report (&N&)";
    RunQuietly(Source(L"report.pdf"), options);
    const std::wstring head = L"/c ipm.note /m \"team?subject=Report%20(";
    const std::wstring label = UiIsJapanese() ? L"修復用" : L"recovery";
    EXPECT_EQ((std::vector<std::wstring>{
                  head + L"1%20/%202)\" /a \"" + Piece(L"report.pdf(01_of_02).divide") + L"\"",
                  head + L"2%20/%202)\" /a \"" + Piece(L"report.pdf(02_of_02).divide") + L"\"",
                  head + label + L"%201%20/%202)\" /a \"" +
                      Piece(L"report.pdf(00_of_02).recovery-01-of-02.divide") + L"\"",
                  head + label + L"%202%20/%202)\" /a \"" +
                      Piece(L"report.pdf(00_of_02).recovery-02-of-02.divide") + L"\""}),
              Starts(4));
}

TEST_F(Mail, AmpersandFormAndUntouchedCharacters)
{
    UiWriteFile(Source(L"data"), kMiB + 1);
    Options options;
    options.questionForm = false;
    options.recipient = L"team";
    options.subject = L"&n& part #1 & 100% ?";
    RunQuietly(Source(L"data"), options);
    EXPECT_EQ((std::vector<std::wstring>{
                  L"/c ipm.note /m \"team&subject=1%20/%202%20part%20#1%20&%20100%%20?\" /a \"" +
                      Piece(L"data(01_of_02).divide") + L"\"",
                  L"/c ipm.note /m \"team&subject=2%20/%202%20part%20#1%20&%20100%%20?\" /a \"" +
                      Piece(L"data(02_of_02).divide") + L"\""}),
              Starts(2));
}

TEST_F(Mail, EmptySourceAndEmptySubject)
{
    UiWriteFile(Source(L"empty.txt"), 0);
    Options options;
    options.recipient = L"a@example.com";
    options.subject = L"(&N&)";
    RunQuietly(Source(L"empty.txt"), options);
    options.subject = L"";
    RunQuietly(Source(L"empty.txt"), options);
    const std::wstring path = Piece(L"empty.txt(01_of_01).divide");
    EXPECT_EQ((std::vector<std::wstring>{
                  L"/c ipm.note /m \"a@example.com?subject=(1%20/%201)\" /a \"" + path + L"\"",
                  L"/c ipm.note /m \"a@example.com?subject=\" /a \"" + path + L"\""}),
              Starts(2));
}

TEST_F(Mail, NoStartWithoutTheCheckBoxOrWithoutSuccess)
{
    UiWriteFile(Source(L"n.bin"), 100);
    Options options;
    options.recipient = L"x";
    options.subject = L"y";

    options.outlook = false;
    RunQuietly(Source(L"n.bin"), options);
    options.outlook = true;

    {   // failed
        UiProc proc;
        ASSERT_TRUE(StartWithOptions(proc, Source(L"gone.bin"), options));
        UiMsgBox box;
        ASSERT_TRUE(UiWaitMsgBox(proc, &box));
        UiAnswerMsgBox(box, IDOK);
        ExpectQuietExit(proc);
    }
    {   // declined
        UiRegSetDword(L"fDivRmv", 0);
        UiProc proc;
        HWND window = StartWithOptions(proc, Source(L"n.bin"), options);
        ASSERT_TRUE(window);
        UiMsgBox box;
        ASSERT_TRUE(UiWaitMsgBox(proc, &box, window));
        UiAnswerMsgBox(box, IDNO);
        ExpectQuietExit(proc);
        UiRegSetDword(L"fDivRmv", 1);
    }
    {   // cancelled
        UiRegSetDword(L"DivSize", 16);
        HANDLE file = CreateFileW(Source(L"big.bin").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = LONGLONG(256 * kMiB);
        SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
        UiProc proc;
        HWND window = StartWithOptions(proc, Source(L"big.bin"), options);
        ASSERT_TRUE(window);
        ASSERT_TRUE(UiWaitFor([&] { return UiFileExists(Piece(L"big.bin(02_of_16).divide")); },
                              60000));
        UiClick(window, IDC_STOP);
        ExpectQuietExit(proc);
    }
    EXPECT_TRUE(Starts(0).empty());
}

}  // namespace

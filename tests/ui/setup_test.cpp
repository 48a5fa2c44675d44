// The installer and the uninstaller, run for real in the test prefix with
// stand-in Outlook program files under its Program Files folders.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "divide_support.h"
#include "resource.h"
#include "uitest.h"

namespace {

const wchar_t kOutlookDesc[] = L"Microsoft Outlook";
const wchar_t kOutlookVer[] = L"16.0.4266.1001";
const wchar_t kClassesCommand[] = L"QorSundrel\\shell\\open\\command";
// The context-menu entry of every file, machine-wide.
const wchar_t kMenuKey[] = L"Software\\Classes\\*\\shell\\SundrelDivide";
const wchar_t kMenuCommandKey[] = L"Software\\Classes\\*\\shell\\SundrelDivide\\command";

void DeleteMenuEntry() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kMenuKey); }

bool MenuKeyExists()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMenuKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring SystemDrive()
{
    wchar_t drive[8] = {};
    GetEnvironmentVariableW(L"SystemDrive", drive, 8);
    return drive;
}

std::wstring ProgramFiles() { return SystemDrive() + L"\\Program Files"; }
std::wstring ProgramFilesX86() { return SystemDrive() + L"\\Program Files (x86)"; }

bool MakeFolders(const std::wstring& folder)
{
    for (size_t at = folder.find(L'\\', 3); ; at = folder.find(L'\\', at + 1)) {
        std::wstring part = folder.substr(0, at);
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (at == std::wstring::npos) return true;
    }
}

// Stand-in Outlook program files placed under Program Files; every top folder
// this fixture made is removed again, whatever the test's outcome.
class SetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UiRegResetMachine();
        UiRegResetUser();
        DeleteMenuEntry();
    }

    void TearDown() override
    {
        for (const std::wstring& path : made_) {
            if (UiFileExists(path)) DeleteFileW(path.c_str());
            else UiRemoveTree(path);
        }
        UiRegResetMachine();
        UiRegResetUser();
        DeleteMenuEntry();
    }

    // Copies the stand-in to root\sub\name; sub's first folder is removed at
    // the end, or the file itself when sub is empty.
    std::wstring PlaceOutlook(const std::wstring& root, const std::wstring& sub,
                              const wchar_t* name = L"outlook.exe")
    {
        std::wstring folder = sub.empty() ? root : UiJoin(root, sub);
        EXPECT_TRUE(MakeFolders(folder)) << UiToUtf8(folder);
        std::wstring path = UiJoin(folder, name);
        EXPECT_TRUE(CopyFileW(UiOutlookExe().c_str(), path.c_str(), FALSE)) << UiToUtf8(path);
        made_.push_back(sub.empty() ? path : UiJoin(root, sub.substr(0, sub.find(L'\\'))));
        return folder;
    }

    void Run(const std::wstring& exe)
    {
        UiProc proc;
        ASSERT_TRUE(UiStart(proc, exe, L""));
        DWORD code = 1;
        ASSERT_TRUE(UiWaitExit(proc, &code));
        EXPECT_EQ(0u, code);
        EXPECT_TRUE(UiTopWindows(proc.pid).empty());
    }

    void ExpectMachineOutlook(const std::wstring& dir, const std::wstring& desc,
                              const std::wstring& ver)
    {
        std::wstring value;
        EXPECT_TRUE(UiRegGetMachineString(L"OutlookDir", &value));
        EXPECT_EQ(UiToUtf8(dir), UiToUtf8(value));
        value.clear();
        EXPECT_TRUE(UiRegGetMachineString(L"OutlookDesc", &value));
        EXPECT_EQ(UiToUtf8(desc), UiToUtf8(value));
        value.clear();
        EXPECT_TRUE(UiRegGetMachineString(L"OutlookVer", &value));
        EXPECT_EQ(UiToUtf8(ver), UiToUtf8(value));
    }

    std::vector<std::wstring> made_;
};

// What the command interpreter answers to one command, line ends removed.
// The answer is caught through a handle: a redirection in the command line
// leaves a blank in the command's argument.
std::wstring AskInterpreter(const std::wstring& command)
{
    std::wstring folder = UiMakeTempDir(L"sundrel-cmd");
    std::wstring out = UiJoin(folder, L"out.txt");
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE file = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                              0, nullptr);
    wchar_t cmd[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ComSpec", cmd, MAX_PATH);
    std::wstring line = UiQuote(cmd) + L" /c " + command;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION info = {};
    std::wstring answer;
    if (file != INVALID_HANDLE_VALUE &&
        CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &info)) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(info.hProcess, 20000));
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    std::string bytes;
    UiReadFile(out, &bytes);
    answer = UiFromUtf8(bytes);
    while (!answer.empty() && (answer.back() == L'\n' || answer.back() == L'\r'))
        answer.pop_back();
    // The interpreter's console host may hold the file a moment longer.
    UiWaitFor([&] {
        DeleteFileW(out.c_str());
        return RemoveDirectoryW(folder.c_str()) != 0;
    }, 5000);
    return answer;
}

std::wstring DefaultValue(HKEY root, const wchar_t* key)
{
    wchar_t value[1024] = {};
    DWORD bytes = sizeof(value);
    if (RegGetValueW(root, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS)
        return L"";
    return value;
}

std::wstring ClassesDefault(const wchar_t* key) { return DefaultValue(HKEY_CLASSES_ROOT, key); }

std::wstring ExpectedOpenCommand()
{
    return UiQuote(UiSundrelExe()) + L" \"%1\"";
}

TEST_F(SetupTest, RecordsOutlookUnderOfficeFolderAndRewritesOnSecondRun)
{
    std::wstring folder = PlaceOutlook(ProgramFiles(), L"Microsoft Office\\root\\Office16");
    Run(UiInstallerExe());
    ExpectMachineOutlook(folder, kOutlookDesc, kOutlookVer);

    UiRegSetMachineString(L"OutlookVer", L"stale");
    Run(UiInstallerExe());
    ExpectMachineOutlook(folder, kOutlookDesc, kOutlookVer);
}

TEST_F(SetupTest, FirstRootWinsOverSecond)
{
    std::wstring first = PlaceOutlook(ProgramFiles(), L"Microsoft Office\\root\\Office16");
    PlaceOutlook(ProgramFilesX86(), L"Microsoft Office\\Office15");
    Run(UiInstallerExe());
    ExpectMachineOutlook(first, kOutlookDesc, kOutlookVer);
}

// A capitalised file name under a longer "Microsoft Office..." name of the
// second root; recorded without a trailing backslash, depth first.
TEST_F(SetupTest, FindsCapitalNameUnderLongerOfficeNameOfSecondRoot)
{
    std::wstring deep = PlaceOutlook(ProgramFilesX86(), L"Microsoft Office 15\\a\\b", L"OUTLOOK.EXE");
    Run(UiInstallerExe());
    ExpectMachineOutlook(deep, kOutlookDesc, kOutlookVer);
}

TEST_F(SetupTest, IgnoresOutlookOutsideOfficeFoldersAndKeepsEarlierValues)
{
    PlaceOutlook(ProgramFiles(), L"");
    PlaceOutlook(ProgramFiles(), L"Microsoft Offic\\root");
    PlaceOutlook(ProgramFiles(), L"Sundrel Test\\Microsoft Office");
    ASSERT_TRUE(UiRegSetMachineString(L"OutlookDir", L"C:\\earlier"));
    ASSERT_TRUE(UiRegSetMachineString(L"OutlookDesc", L"earlier desc"));
    ASSERT_TRUE(UiRegSetMachineString(L"OutlookVer", L"1.0"));
    Run(UiInstallerExe());
    ExpectMachineOutlook(L"C:\\earlier", L"earlier desc", L"1.0");
}

// Start-up reads the installer's values: the divide window offers Outlook.
// The Outlook box, ticked when the window last closed, comes back ticked
// only where an Outlook folder is known.
TEST_F(SetupTest, DivideWindowOffersOutlookAfterInstall)
{
    std::wstring folder = UiMakeTempDir();
    std::wstring file = UiJoin(folder, L"report.pdf");
    ASSERT_TRUE(UiWriteFile(file, 1000));
    // Opens the divide window, checks the Outlook box and the recipient box,
    // and closes the window with the Outlook box ticked.
    auto expectOutlookOffered = [&](bool offered) {
        UiProc proc;
        ASSERT_TRUE(UiStart(proc, UiSundrelExe(), UiQuote(file)));
        HWND dialog = UiFindDialog(proc);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(offered ? BST_CHECKED : BST_UNCHECKED, UiGetCheck(dialog, IDC_OUTLOOK));
        EXPECT_EQ(offered, UiIsEnabled(dialog, IDC_TO));
        UiSetCheck(dialog, IDC_OUTLOOK, true);
        EXPECT_TRUE(UiWaitFor([&] { return UiIsEnabled(dialog, IDC_TO); }, 2000));
        UiClick(dialog, IDCANCEL);
        EXPECT_TRUE(UiWaitExit(proc, nullptr));
    };
    expectOutlookOffered(false);
    expectOutlookOffered(false);   // saved ticked, but no Outlook folder known

    PlaceOutlook(ProgramFiles(), L"Microsoft Office\\root\\Office16");
    Run(UiInstallerExe());
    expectOutlookOffered(true);
    UiRemoveTree(folder);
}

TEST_F(SetupTest, RegistersQuotedOpenCommandAndUninstallerRemovesIt)
{
    for (int run = 0; run < 2; ++run) Run(UiInstallerExe());
    EXPECT_EQ(L".divide=QorSundrel", AskInterpreter(L"assoc .divide"));
    EXPECT_EQ(L"QorSundrel=" + ExpectedOpenCommand(), AskInterpreter(L"ftype QorSundrel"));
    EXPECT_EQ(ExpectedOpenCommand(), ClassesDefault(kClassesCommand));

    for (int run = 0; run < 2; ++run) Run(UiUninstallerExe());
    EXPECT_EQ(L"", ClassesDefault(L".divide"));
    EXPECT_EQ(L"", ClassesDefault(kClassesCommand));
    EXPECT_EQ(std::wstring::npos, AskInterpreter(L"assoc .divide").find(L"=QorSundrel"));
    EXPECT_EQ(std::wstring::npos, AskInterpreter(L"ftype QorSundrel").find(L"Sundrel.exe"));
}

// The shell hands a piece whose path holds blanks to Sundrel.exe as one
// argument, which opens the merge window for it.
TEST_F(SetupTest, OpeningPieceThroughAssociationStartsMerge)
{
    Run(UiInstallerExe());
    std::wstring folder = UiMakeTempDir(L"sundrel test with blanks");
    std::wstring piece = UiJoin(folder, L"my report.pdf(01_of_02).divide");
    ASSERT_TRUE(UiWriteFile(piece, 100));

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = L"open";
    info.lpFile = piece.c_str();
    info.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExW(&info));
    ASSERT_TRUE(info.hProcess);
    UiProc proc;
    proc.process = info.hProcess;
    proc.pid = GetProcessId(info.hProcess);

    HWND dialog = UiFindDialog(proc);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(UiWaitFor([&] {
        return UiGetItemText(dialog, IDC_FILE).find(L"my report.pdf(01_of_02).divide") !=
               std::wstring::npos;
    }, 5000)) << UiToUtf8(UiGetItemText(dialog, IDC_FILE));
    UiClick(dialog, IDCANCEL);
    DWORD code = 1;
    EXPECT_TRUE(UiWaitExit(proc, &code));
    EXPECT_EQ(0u, code);
    Run(UiUninstallerExe());
    UiRemoveTree(folder);
}

// The entry's text in the installing system's language, the same quoted
// command as the file type's, seen through HKEY_CLASSES_ROOT as the shell
// sees it; rewritten by a second run and gone after the uninstaller.
TEST_F(SetupTest, ContextMenuEntryForEveryFileAndUninstallerRemovesIt)
{
    for (int run = 0; run < 2; ++run) Run(UiInstallerExe());
    EXPECT_EQ(UiToUtf8(Lang(L"Divide with Sundrel", L"Sundrelで分割")),
              UiToUtf8(DefaultValue(HKEY_LOCAL_MACHINE, kMenuKey)));
    EXPECT_EQ(UiToUtf8(ExpectedOpenCommand()),
              UiToUtf8(DefaultValue(HKEY_LOCAL_MACHINE, kMenuCommandKey)));
    EXPECT_EQ(UiToUtf8(ExpectedOpenCommand()),
              UiToUtf8(ClassesDefault(L"*\\shell\\SundrelDivide\\command")));

    for (int run = 0; run < 2; ++run) Run(UiUninstallerExe());
    EXPECT_FALSE(MenuKeyExists());
}

// A command key that cannot be created (a volatile verb key takes no lasting
// subkey) leaves no part of the entry, shows nothing, and the file type is
// registered all the same.
TEST_F(SetupTest, ContextMenuEntryThatCannotBeWrittenLeavesNothing)
{
    HKEY verb;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMenuKey, 0, nullptr,
                                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &verb,
                                             nullptr));
    RegCloseKey(verb);
    Run(UiInstallerExe());
    EXPECT_FALSE(MenuKeyExists());
    EXPECT_EQ(L".divide=QorSundrel", AskInterpreter(L"assoc .divide"));
    Run(UiUninstallerExe());
}

// The entry's command line, expanded with a file as the shell expands it,
// opens the divide window for that file, whose path holds blanks, and
// divides it.
TEST_F(SetupTest, ContextMenuCommandDividesTheFile)
{
    Run(UiInstallerExe());
    std::wstring command = DefaultValue(HKEY_LOCAL_MACHINE, kMenuCommandKey);
    size_t at = command.find(L"%1");
    ASSERT_NE(std::wstring::npos, at) << UiToUtf8(command);

    DivideFolders folders = PrepareDivision(L"sundrel menu with blanks");
    std::wstring file = UiJoin(folders.dir, L"my report.pdf");
    ASSERT_TRUE(UiWriteFile(file, 3 * 4096 + 5));
    std::string bytes;
    ASSERT_TRUE(UiReadFile(file, &bytes));
    command.replace(at, 2, file);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info))
        << UiToUtf8(UiErrorText(L"cannot start", command));
    CloseHandle(info.hThread);
    UiProc proc;
    proc.process = info.hProcess;
    proc.pid = info.dwProcessId;

    uint32_t before = UnixSecondsNow();
    HWND dialog = UiFindDialog(proc, Lang(L"File to Divide", L"ファイルの分割").c_str());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(L"my report.pdf", UiGetItemText(dialog, IDC_FILE));
    UiClick(dialog, IDOK);
    ExpectQuietExit(proc);
    ExpectPieces(folders.out, L"my report.pdf", bytes, 1 << 20, before - 1, UnixSecondsNow() + 1);
    Run(UiUninstallerExe());
    UiRemoveTree(folders.dir);
}

}  // namespace

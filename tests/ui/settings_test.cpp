// The settings window of the real Sundrel.exe, started without an argument.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "piece_sizes.h"
#include "resource.h"
#include "uitest.h"

namespace {

const wchar_t kEnglishCaption[] = L"File Division/Merge settings";
const wchar_t kJapaneseCaption[] = L"ファイル分割／統合の設定";

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { UiRegResetUser(); }

    void TearDown() override
    {
        UiKill(proc_);
        if (!folder_.empty()) UiRemoveTree(folder_);
        UiRegResetUser();
    }

    HWND Open()
    {
        if (!UiStart(proc_, UiSundrelExe(), L"")) return nullptr;
        // The window shows once it is ready: a folder dropped on box 1040
        // from then on is checked, however busy its start-up was.
        return UiFindDialog(proc_);
    }

    void CloseWith(HWND dialog, int id)
    {
        UiClick(dialog, id);
        DWORD code = 1;
        EXPECT_TRUE(UiWaitExit(proc_, &code));
        EXPECT_EQ(0u, code);
    }

    // A folder holding the stand-in outlook.exe.
    std::wstring OutlookFolder()
    {
        if (folder_.empty()) folder_ = UiMakeTempDir(L"sundrel-settings");
        std::wstring dir = UiJoin(folder_, L"Office16");
        CreateDirectoryW(dir.c_str(), nullptr);
        EXPECT_TRUE(CopyFileW(UiOutlookExe().c_str(), UiJoin(dir, L"outlook.exe").c_str(), FALSE));
        return dir;
    }

    std::wstring EmptyFolder()
    {
        if (folder_.empty()) folder_ = UiMakeTempDir(L"sundrel-settings");
        std::wstring dir = UiJoin(folder_, L"empty");
        CreateDirectoryW(dir.c_str(), nullptr);
        return dir;
    }

    UiProc proc_;
    std::wstring folder_;
};

std::wstring Profile(const wchar_t* name)
{
    std::wstring value;
    UiRegGetString(name, &value);
    return value;
}

bool HasProfileString(const wchar_t* name)
{
    std::wstring value;
    return UiRegGetString(name, &value);
}

const wchar_t* InUiLanguage(const wchar_t* en, const wchar_t* ja)
{
    return UiIsJapanese() ? ja : en;
}

DWORD ProfileUInt(const wchar_t* name)
{
    DWORD value = 0xFFFFFFFF;
    UiRegGetDword(name, &value);
    return value;
}

TEST_F(SettingsTest, SecondStartRaisesFirstAndEnds)
{
    HWND first = Open();
    ASSERT_TRUE(first);
    // Something else takes the front first.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(UiWaitFor([&] { return GetForegroundWindow() == other; }, 2000));

    UiProc second;
    ASSERT_TRUE(UiStart(second, UiSundrelExe(), L""));
    DWORD code = 1;
    ASSERT_TRUE(UiWaitExit(second, &code, 10000));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(UiWaitFor([&] { return GetForegroundWindow() == first; }, 3000));
    DestroyWindow(other);

    EXPECT_TRUE(UiIsRunning(proc_));
    CloseWith(first, IDCANCEL);
    // The mutex went with the first window: a new start shows a window again.
    HWND again = Open();
    ASSERT_TRUE(again);
    CloseWith(again, IDCANCEL);
}

TEST_F(SettingsTest, OkStoresDivisionAndMergeKeysCancelNone)
{
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    UiSetItemText(dialog, IDC_DIVSIZE, L"7");
    UiSetCheck(dialog, IDC_DIV_FOLDER_A, true);
    UiSetCheck(dialog, IDC_DIV_OPEN, false);
    UiSetCheck(dialog, IDC_DIV_RMV, false);
    UiSetItemText(dialog, IDC_DIV_DIR, L"C:\\divide here");
    UiSetItemText(dialog, IDC_DIVREC, L"3");
    UiSetCheck(dialog, IDC_MRG_FOLDER_A, true);
    UiSetCheck(dialog, IDC_MRG_OPEN, false);
    UiSetCheck(dialog, IDC_MRG_RMV, false);
    UiSetItemText(dialog, IDC_MRG_DIR, L"C:\\merge here");
    CloseWith(dialog, IDCANCEL);
    for (const wchar_t* name : {L"DivSize", L"fDivDir", L"fDivOpen", L"fDivRmv", L"DivRec",
                                L"fMrgDir", L"fMrgOpen", L"fMrgRmv"})
        EXPECT_EQ(0xFFFFFFFFu, ProfileUInt(name)) << UiToUtf8(name);
    for (const wchar_t* name : {L"DivDir", L"MrgDir"})
        EXPECT_FALSE(HasProfileString(name)) << UiToUtf8(name);

    dialog = Open();
    ASSERT_TRUE(dialog);
    UiSetItemText(dialog, IDC_DIVSIZE, L"7");
    UiSetCheck(dialog, IDC_DIV_FOLDER_A, true);
    UiSetCheck(dialog, IDC_DIV_OPEN, false);
    UiSetCheck(dialog, IDC_DIV_RMV, false);
    UiSetItemText(dialog, IDC_DIV_DIR, L"C:\\divide here");
    UiSetItemText(dialog, IDC_DIVREC, L"3");
    UiSetCheck(dialog, IDC_MRG_FOLDER_A, true);
    UiSetCheck(dialog, IDC_MRG_OPEN, false);
    UiSetCheck(dialog, IDC_MRG_RMV, false);
    UiSetItemText(dialog, IDC_MRG_DIR, L"C:\\merge here");
    CloseWith(dialog, IDOK);
    EXPECT_EQ(7u, ProfileUInt(L"DivSize"));
    EXPECT_EQ(3u, ProfileUInt(L"DivRec"));
    for (const wchar_t* name : {L"fDivDir", L"fDivOpen", L"fDivRmv", L"fMrgDir", L"fMrgOpen",
                                L"fMrgRmv"})
        EXPECT_EQ(0u, ProfileUInt(name)) << UiToUtf8(name);
    EXPECT_EQ("C:\\divide here", UiToUtf8(Profile(L"DivDir")));
    EXPECT_EQ("C:\\merge here", UiToUtf8(Profile(L"MrgDir")));

    // The next window shows what was stored.
    dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(L"7", UiGetItemText(dialog, IDC_DIVSIZE));
    EXPECT_EQ(L"3", UiGetItemText(dialog, IDC_DIVREC));
    EXPECT_EQ(BST_CHECKED, UiGetCheck(dialog, IDC_DIV_FOLDER_A));
    EXPECT_EQ(BST_UNCHECKED, UiGetCheck(dialog, IDC_MRG_OPEN));
    EXPECT_EQ(L"C:\\merge here", UiGetItemText(dialog, IDC_MRG_DIR));
    CloseWith(dialog, IDCANCEL);
}

// The piece size within 1 to 50, the recovery pieces within 0 to 99 (0,
// none, when nothing is stored).
TEST_F(SettingsTest, NumberBoxesStayWithinTheirRanges)
{
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(L"0", UiGetItemText(dialog, IDC_DIVREC));
    CloseWith(dialog, IDCANCEL);
    const struct { int id; const wchar_t* key; const wchar_t* typed; DWORD stored; } cases[] = {
        {IDC_DIVSIZE, L"DivSize", L"0", 1},   {IDC_DIVSIZE, L"DivSize", L"1", 1},
        {IDC_DIVSIZE, L"DivSize", L"50", 50}, {IDC_DIVSIZE, L"DivSize", L"51", 50},
        {IDC_DIVSIZE, L"DivSize", L"99999999999", 50},
        {IDC_DIVREC, L"DivRec", L"0", 0},     {IDC_DIVREC, L"DivRec", L"99", 99},
        {IDC_DIVREC, L"DivRec", L"100", 99},
    };
    for (const auto& c : cases) {
        dialog = Open();
        ASSERT_TRUE(dialog);
        UiSetItemText(dialog, c.id, c.typed);
        CloseWith(dialog, IDOK);
        EXPECT_EQ(c.stored, ProfileUInt(c.key)) << UiToUtf8(c.key) << " " << UiToUtf8(c.typed);
    }
}

// Beside the piece size, what a full piece weighs as a mail attachment,
// following the number as it is set or typed.
TEST_F(SettingsTest, MailSizeFollowsPieceSize)
{
    auto shown = [](const wchar_t* figure) {
        return std::wstring(InUiLanguage(L"≈ ", L"メール添付で約 ")) + figure +
               InUiLanguage(L" MB as mail", L" MB");
    };
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(UiWaitItemText(dialog, IDC_DIVSIZE_MAIL, shown(L"23.0")));   // the default 16
    UiSetItemText(dialog, IDC_DIVSIZE, L"1");
    EXPECT_TRUE(UiWaitItemText(dialog, IDC_DIVSIZE_MAIL, shown(L"1.4")));
    // Typed over the selected number, one digit at a time.
    HWND box = UiItem(dialog, IDC_DIVSIZE);
    SendMessageTimeoutW(box, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, nullptr);
    PostMessageW(box, WM_CHAR, L'5', 1);
    EXPECT_TRUE(UiWaitItemText(dialog, IDC_DIVSIZE_MAIL, shown(L"7.2")));
    PostMessageW(box, WM_CHAR, L'0', 1);
    EXPECT_TRUE(UiWaitItemText(dialog, IDC_DIVSIZE_MAIL, shown(L"71.8")));
    CloseWith(dialog, IDOK);
    EXPECT_EQ(50u, ProfileUInt(L"DivSize"));
}

TEST_F(SettingsTest, RadioGroupsEnableTheirFolders)
{
    UiRegSetDword(L"fDivDir", 0);
    UiRegSetDword(L"fMrgDir", 1);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(UiIsEnabled(dialog, IDC_DIV_DIR));
    EXPECT_FALSE(UiIsEnabled(dialog, IDC_DIV_BROWSE));
    EXPECT_TRUE(UiIsEnabled(dialog, IDC_MRG_DIR));
    EXPECT_TRUE(UiIsEnabled(dialog, IDC_MRG_BROWSE));

    UiSetCheck(dialog, IDC_DIV_FOLDER_B, true);
    UiSetCheck(dialog, IDC_MRG_FOLDER_A, true);
    EXPECT_TRUE(UiWaitFor([&] {
        return UiIsEnabled(dialog, IDC_DIV_DIR) && UiIsEnabled(dialog, IDC_DIV_BROWSE) &&
               !UiIsEnabled(dialog, IDC_MRG_DIR) && !UiIsEnabled(dialog, IDC_MRG_BROWSE);
    }, 3000));
    CloseWith(dialog, IDOK);
    EXPECT_EQ(1u, ProfileUInt(L"fDivDir"));
    EXPECT_EQ(0u, ProfileUInt(L"fMrgDir"));
}

// The Outlook folder is stored as soon as it is accepted, Cancel or not.
TEST_F(SettingsTest, OutlookFolderAcceptedIsStoredAtOnce)
{
    std::wstring folder = OutlookFolder();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    UiSetItemText(dialog, IDC_OL_DIR, folder + L"\\");
    EXPECT_TRUE(UiWaitItemText(dialog, IDC_OL_DIR, folder));
    EXPECT_TRUE(UiWaitItemText(dialog, IDC_OL_DESC, L"Microsoft Outlook"));
    EXPECT_TRUE(UiWaitItemText(dialog, IDC_OL_VER, L"16.0.4266.1001"));
    UiMsgBox box;
    EXPECT_FALSE(UiFindMsgBoxNow(proc_, &box));
    CloseWith(dialog, IDCANCEL);
    EXPECT_EQ(UiToUtf8(folder), UiToUtf8(Profile(L"OutlookDir")));
    EXPECT_EQ("Microsoft Outlook", UiToUtf8(Profile(L"OutlookDesc")));
    EXPECT_EQ("16.0.4266.1001", UiToUtf8(Profile(L"OutlookVer")));
    EXPECT_FALSE(HasProfileString(L"DivDir"));
}

// One error box naming the folder, under the window's caption; afterwards
// the last accepted folder is back, with no second box.
void ExpectRejected(UiProc& proc, HWND dialog, const std::wstring& folder,
                    const std::wstring& format)
{
    std::wstring accepted = UiGetItemText(dialog, IDC_OL_DIR);
    std::wstring caption = UiGetText(dialog);
    HWND box1040 = UiItem(dialog, IDC_OL_DIR);
    // Each check re-arms the next one on a timer, which waits while the
    // window's start-up keeps its queue busy.
    Sleep(100);
    // With the focus in box 1040, the error box takes it away, which
    // notifies again while the first box is open.
    PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box1040), TRUE);
    EXPECT_TRUE(UiWaitFor([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) &&
               info.hwndFocus == box1040;
    }, 3000));
    Sleep(100);
    UiMsgBox box;
    EXPECT_FALSE(UiFindMsgBoxNow(proc, &box)) << "the accepted folder was rejected";
    // The check shows its box while the new text is being set, as after a
    // drop; the sender waits until the box has been answered.
    std::thread sender([box1040, folder] {
        SendMessageTimeoutW(box1040, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()),
                            SMTO_NORMAL, 20000, nullptr);
    });
    struct Join {
        std::thread& t;
        ~Join() { t.join(); }
    } join{sender};
    ASSERT_TRUE(UiWaitMsgBox(proc, &box));
    EXPECT_EQ(UiToUtf8(caption), UiToUtf8(box.caption));
    size_t at = format.find(L"%s");
    std::wstring expected = format.substr(0, at) + folder + format.substr(at + 2);
    EXPECT_EQ(UiToUtf8(expected), UiToUtf8(box.text));
    Sleep(300);
    UiMsgBox other;
    EXPECT_FALSE(UiFindMsgBoxNow(proc, &other, box.window)) << "a second error box";
    ASSERT_TRUE(UiAnswerMsgBox(box, IDOK));
    EXPECT_TRUE(UiWaitItemText(dialog, IDC_OL_DIR, accepted));
    Sleep(300);
    EXPECT_FALSE(UiFindMsgBoxNow(proc, &other)) << "an error box after the first";
    EXPECT_EQ(UiToUtf8(accepted), UiToUtf8(UiGetItemText(dialog, IDC_OL_DIR)));
}

TEST_F(SettingsTest, FolderWithoutOutlookShowsOneErrorAndRestores)
{
    std::wstring accepted = OutlookFolder();
    UiRegSetString(L"OutlookDir", accepted);
    UiRegSetString(L"OutlookDesc", L"Microsoft Outlook");
    UiRegSetString(L"OutlookVer", L"16.0.4266.1001");
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(UiToUtf8(accepted), UiToUtf8(UiGetItemText(dialog, IDC_OL_DIR)));
    ExpectRejected(proc_, dialog, EmptyFolder(),
                   InUiLanguage(L"Outlook.exe not found\n(%s)", L"Outlook.exe が見つかりません\n(%s)"));
    CloseWith(dialog, IDCANCEL);
    EXPECT_EQ(UiToUtf8(accepted), UiToUtf8(Profile(L"OutlookDir")));
}

TEST_F(SettingsTest, TextsInUiLanguage)
{
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(UiToUtf8(InUiLanguage(kEnglishCaption, kJapaneseCaption)), UiToUtf8(UiGetText(dialog)))
        << (UiIsJapanese() ? "Japanese" : "English");
    const struct { int id; const wchar_t* en; const wchar_t* ja; } texts[] = {
        {IDC_DIV_BOX, L"File Division", L"ファイル分割設定"},
        {IDC_DIV_RADIO, L"Folder to store", L"分割ファイルの格納場所"},
        {IDC_DIV_FOLDER_A, L"Ssame folder as original file", L"元のファイルと同じ場所"},
        {IDC_DIV_FOLDER_B, L"Specified folder", L"指定した場所"},
        {IDC_DIVSIZE_LABEL, L"Division Size", L"分割サイズ"},
        {IDC_DIV_OPEN, L"Once the files have been divided, open the divided file folder.",
         L"ファイルの分割が終了したら、分割ファイルの場所を開く"},
        {IDC_DIV_RMV, L"If there is already a split file with the same name, delete it.",
         L"既に、同名の分割ファイルがある場合は削除する"},
        {IDC_MRG_BOX, L"File Merge", L"ファイル統合設定"},
        {IDC_MRG_RADIO, L"Folder to store", L"統合ファイルの格納場所"},
        {IDC_MRG_FOLDER_A, L"Same folder as division file", L"分割ファイルと同じ場所"},
        {IDC_MRG_FOLDER_B, L"Specified folder", L"指定した場所"},
        {IDC_MRG_OPEN, L"Once the files have been merged, open the merged file folder.",
         L"ファイルの統合が終了したら、統合ファイルの場所を開く"},
        {IDC_MRG_RMV, L"Delete the division files once the files have been merged.",
         L"ファイルの統合が終了したら、分割ファイルを削除する"},
        {IDC_DIVREC_LABEL, L"Recovery pieces", L"修復用ファイル数"},
        {IDC_DIVREC_HINT, L"each rebuilds one lost or damaged piece",
         L"1 個ごとに、失われたか壊れた分割ファイル 1 個を復元"},
        // These keep their template texts in both languages.
        {IDOK, L"OK", L"OK"},
        {IDCANCEL, L"キャンセル", L"キャンセル"},
        {IDC_OL_BOX, L"Outlook.exe の場所", L"Outlook.exe の場所"},
        {IDC_OL_BROWSE, L"...", L"..."},
    };
    for (const auto& t : texts)
        EXPECT_EQ(UiToUtf8(InUiLanguage(t.en, t.ja)), UiToUtf8(UiGetItemText(dialog, t.id))) << t.id;
    // The Outlook group box lies below the controls inside it.
    EXPECT_EQ(nullptr, GetWindow(UiItem(dialog, IDC_OL_BOX), GW_HWNDNEXT));
    CloseWith(dialog, IDCANCEL);
}

}  // namespace

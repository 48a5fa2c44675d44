// The divide window in both languages, its Outlook group and the control
// states kept between runs.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "divide_support.h"
#include "resource.h"

namespace {

struct TipSearch {
    DWORD pid;
    std::vector<HWND> tips;
};

BOOL CALLBACK CollectTips(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<TipSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && UiGetClass(window) == TOOLTIPS_CLASSW)
        search->tips.push_back(window);
    return TRUE;
}

// The tooltip text of a control of another process's dialog: asked of every
// tooltip window of that process through memory of its own.
std::wstring ToolTipText(const UiProc& proc, HWND dialog, int id)
{
    TipSearch search = {proc.pid, {}};
    EnumWindows(CollectTips, reinterpret_cast<LPARAM>(&search));
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                 FALSE, proc.pid);
    if (!process)
        return L"(cannot open the process)";
    const size_t kChars = 1024;
    const SIZE_T total = sizeof(TOOLINFOW) + kChars * sizeof(wchar_t);
    auto* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, total, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::wstring text;
    for (HWND tip : search.tips) {
        TOOLINFOW info = {};
        info.cbSize = sizeof info;
        info.hwnd = dialog;
        info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, id));
        info.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof info);
        std::vector<wchar_t> buffer(kChars, L'\0');
        WriteProcessMemory(process, remote, &info, sizeof info, nullptr);
        WriteProcessMemory(process, remote + sizeof info, buffer.data(), kChars * sizeof(wchar_t),
                           nullptr);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(tip, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote),
                            SMTO_ABORTIFHUNG, 5000, &result);
        ReadProcessMemory(process, remote + sizeof info, buffer.data(), kChars * sizeof(wchar_t),
                          nullptr);
        buffer[kChars - 1] = L'\0';
        if (buffer[0]) {
            text = buffer.data();
            break;
        }
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return text;
}

class DivideWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        folders = PrepareDivision(L"sundrel-divwin");
        file = UiJoin(folders.dir, L"report.pdf");
        UiWriteFile(file, 10);
    }
    void TearDown() override { UiRemoveTree(folders.dir); }

    // Esc while idle: the window closes without a division.
    void CloseIdle(UiProc& proc, HWND window)
    {
        UiClick(window, IDCANCEL);
        ExpectQuietExit(proc);
        EXPECT_TRUE(UiListFiles(folders.out).empty());
    }

    DivideFolders folders;
    std::wstring file;
};

const int kGroupControls[] = {IDC_TO_LABEL, IDC_TO, IDC_TO_REG, IDC_SUBJ_LABEL, IDC_SUBJ,
                              IDC_SUBJ_REG, IDC_HINT, IDC_FORM_QUEST, IDC_FORM_AMP};

void ExpectGroupEnabled(HWND window, bool enabled)
{
    for (int id : kGroupControls)
        EXPECT_EQ(enabled, UiIsEnabled(window, id)) << "control " << id;
    EXPECT_TRUE(UiIsEnabled(window, IDC_OUTLOOK));
}

struct ControlText {
    int id;
    const wchar_t* en;   // set on a non-Japanese system
    const wchar_t* ja;   // the template's
};

const ControlText kControlTexts[] = {
    {IDC_FILE_LABEL, L"File to devide", L"分割するファイル"},
    {IDOK, L"Start dividing files", L"ファイルの分割を開始する"},
    {IDC_STOP, L"Stop", L"中止"},
    {IDC_TO_REG, L"Reg.", L"登録"},
    {IDC_SUBJ_REG, L"Reg", L"登録"},
    {IDC_OUTLOOK, L"Open outlook with divided file attachment", L"分割ファイルを添付して outlook を開く"},
    {IDC_TO_LABEL, L"To", L"宛 先"},
    {IDC_SUBJ_LABEL, L"Subject", L"件名"},
    {IDC_HINT, L"\"&&N&&\" in the subject line is converted to the number of divisions \"m / n\"",
     L"件名中の「 &&N&&」 は 分割数「 m / n 」 に変換します"},
    {IDC_FORM_QUEST, L"?", L"?"},
    {IDC_FORM_AMP, L"&＆", L"&＆"},
};

const ControlText kTips[] = {
    {IDC_OUTLOOK,
     L"Generate an Outlook spreadsheet with attached split files.\nThe destination (email "
     L"address) and subject are preset on the transmission sheet.\n\"&N&\" in the subject line "
     L"will be converted to the division number \"m / n\". (ex. \"(&N&)\"）--> \"(2 / 3)\")",
     L"分割ファイルを添付した Outlook 送信シートを生成します。\n送信用シートには、あらかじめ宛先"
     L"（メールアドレス）と件名が設定されます。\n件名中の「&N&」は、分割番号\"m / n\"に変換します。"
     L"（ex. \"(&N&)\"）--> \"(2 / 3)\""},
    {IDC_FORM_QUEST,
     L"Generate an Outlook send sheet with attached divided files.\nIf the recipient and subject "
     L"are not set correctly on the transmission sheet, select \"&\".",
     L"Outlookへ指定するパラメタ( ? / & )がバージョンごとに異なるための選択です。\n"
     L"送信用シートに宛先や件名が正常に設定されない場合は、「&」を選択してください。"},
    {IDC_FORM_AMP,
     L"Generate an Outlook send sheet with attached divided files.\nIf the recipient and subject "
     L"are not set correctly on the transmission sheet, select \"?\".",
     L"Outlookへ指定するパラメタ( ? / & )がバージョンごとに異なるための選択です。\n"
     L"送信用シートに宛先や件名が正常に設定されない場合は、「?」を選択してください。"},
    {IDC_TO_REG,
     L"Add recipients (email addresses) to the list on the left.\nTo remove an item from the "
     L"list, right-click the ▲ on the left and select the menu.",
     L"宛先（メールアドレス）を左のリストに追加します。\nリストから項目を削除するには、"
     L"左の▲を右クリックしメニューを選択してください。"},
    {IDC_SUBJ_REG,
     L"Add the subject to the list on the left.\nTo remove an item from the list, right-click "
     L"the ▲ on the left and select the menu.",
     L"件名を左のリストに追加します。\nリストから項目を削除するには、左の▲を右クリック"
     L"しメニューを選択してください。"},
};

TEST_F(DivideWindow, TextsTipsAndDefaults)
{
    UiProc proc;
    HWND window = StartDivide(proc, file);   // finds it by its caption
    ASSERT_TRUE(window);
    EXPECT_EQ(L"report.pdf", UiGetItemText(window, IDC_FILE));
    for (const ControlText& text : kControlTexts)
        EXPECT_EQ(Lang(text.en, text.ja), UiGetItemText(window, text.id)) << "control " << text.id;
    for (const ControlText& tip : kTips)
        EXPECT_EQ(Lang(tip.en, tip.ja), ToolTipText(proc, window, tip.id)) << "control " << tip.id;

    EXPECT_FALSE(UiIsEnabled(window, IDC_STOP));
    EXPECT_FALSE(UiIsVisible(window, IDC_PROGRESS));
    EXPECT_EQ(BST_UNCHECKED, UiGetCheck(window, IDC_OUTLOOK));
    EXPECT_EQ(BST_CHECKED, UiGetCheck(window, IDC_FORM_QUEST));
    // No Outlook known: the group starts disabled; the check box drives it.
    ExpectGroupEnabled(window, false);
    UiSetCheck(window, IDC_OUTLOOK, true);
    UiWaitFor([&] { return UiIsEnabled(window, IDC_TO); }, 5000);
    ExpectGroupEnabled(window, true);
    UiSetCheck(window, IDC_OUTLOOK, false);
    UiWaitFor([&] { return !UiIsEnabled(window, IDC_TO); }, 5000);
    ExpectGroupEnabled(window, false);
    CloseIdle(proc, window);
}

TEST_F(DivideWindow, HistoriesAndChoicesRestoredOnTheNextRun)
{
    UiRegSetString(L"OutlookDir", folders.dir);
    {
        UiProc proc;
        HWND window = StartDivide(proc, file);
        ASSERT_TRUE(window);
        // Outlook known, the box clear: the group follows the box.
        ExpectGroupEnabled(window, false);
        UiSetCheck(window, IDC_OUTLOOK, true);
        UiWaitFor([&] { return UiIsEnabled(window, IDC_TO); }, 5000);
        ExpectGroupEnabled(window, true);
        // The click is posted: wait for each entry before the next text.
        size_t count = 0;
        for (const wchar_t* recipient : {L"alice@example.com", L"bob@example.com"}) {
            UiSetItemText(window, IDC_TO, recipient);
            UiClick(window, IDC_TO_REG);
            ++count;
            EXPECT_TRUE(UiWaitFor([&] { return UiGetComboItems(window, IDC_TO).size() == count; }));
        }
        UiSetItemText(window, IDC_SUBJ, L"Report (&N&)");
        UiClick(window, IDC_SUBJ_REG);
        EXPECT_TRUE(UiWaitFor([&] { return UiGetComboItems(window, IDC_SUBJ).size() == 1; }));
        UiSetCheck(window, IDC_FORM_AMP, true);
        CloseIdle(proc, window);
    }
    UiProc proc;
    HWND window = StartDivide(proc, file);
    ASSERT_TRUE(window);
    std::vector<std::wstring> recipients = UiGetComboItems(window, IDC_TO);
    std::sort(recipients.begin(), recipients.end());
    EXPECT_EQ((std::vector<std::wstring>{L"alice@example.com", L"bob@example.com"}), recipients);
    EXPECT_EQ(std::vector<std::wstring>{L"Report (&N&)"}, UiGetComboItems(window, IDC_SUBJ));
    EXPECT_EQ(BST_CHECKED, UiGetCheck(window, IDC_OUTLOOK));
    EXPECT_EQ(BST_CHECKED, UiGetCheck(window, IDC_FORM_AMP));
    EXPECT_EQ(BST_UNCHECKED, UiGetCheck(window, IDC_FORM_QUEST));
    ExpectGroupEnabled(window, true);   // the restored tick applies its rule
    UiSetCheck(window, IDC_OUTLOOK, false);
    UiWaitFor([&] { return !UiIsEnabled(window, IDC_TO); }, 5000);
    ExpectGroupEnabled(window, false);
    UiSetCheck(window, IDC_OUTLOOK, true);
    UiWaitFor([&] { return UiIsEnabled(window, IDC_TO); }, 5000);
    CloseIdle(proc, window);

    // Saved ticked, but no Outlook folder known any more: clear and disabled.
    UiRegDeleteValue(L"OutlookDir");
    UiProc again;
    window = StartDivide(again, file);
    ASSERT_TRUE(window);
    EXPECT_EQ(BST_UNCHECKED, UiGetCheck(window, IDC_OUTLOOK));
    ExpectGroupEnabled(window, false);
    CloseIdle(again, window);
}

}  // namespace

// The settings window's browse buttons and folder drops, in this process:
// the folder picker is replaced, and drops are real WM_DROPFILES, which can
// only carry their HDROP within one process.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "app.h"
#include "lang.h"
#include "qoc.h"
#include "resource.h"
#include "settings_record.h"

namespace {

std::wstring BinFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

struct PickerCall {
    int count;
    std::wstring title;
    std::wstring start;
    std::wstring answer;   // empty: the user cancels
};
PickerCall g_picker;

int FakePicker(HWND, const wchar_t* title, const wchar_t* start, wchar_t* out, int)
{
    ++g_picker.count;
    g_picker.title = title;
    g_picker.start = start;
    if (g_picker.answer.empty()) return 0;
    wcscpy_s(out, MAX_PATH, g_picker.answer.c_str());
    return 1;
}

// Runs this thread's messages for ms milliseconds; the window's timer and
// its posted notifications arrive meanwhile.
void Pump(DWORD ms)
{
    ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[MAX_PATH] = {};
    GetDlgItemTextW(dialog, id, text, MAX_PATH);
    return text;
}

// A drop of one path, as the shell hands it to a window.
HDROP MakeDrop(const std::wstring& path)
{
    size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    wcscpy_s(reinterpret_cast<wchar_t*>(drop + 1), path.size() + 1, path.c_str());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class SettingsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        QocDgcSetup();
        QocSetRegTopKey(HKEY_CURRENT_USER);
        resources_ = LoadLibraryExW((BinFolder() + L"\\Sundrel.exe").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(resources_) << "Sundrel.exe lies beside the tests";
        g_Set = SETTINGS_RECORD();
        g_Set.DivSize = 16;
        g_Set.fDivDir = 1;
        g_Set.fMrgDir = 1;
        wcscpy_s(g_Set.DivDir, L"C:\\start divide");
        wcscpy_s(g_Set.MrgDir, L"C:\\start merge");
        g_picker = PickerCall();
        g_QocFolderPicker = FakePicker;

        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"sundrel-settings-unit";
        outlookDir_ = folder_ + L"\\Office16";
        SHCreateDirectoryExW(nullptr, outlookDir_.c_str(), nullptr);
        CopyFileW((BinFolder() + L"\\outlook.exe").c_str(), (outlookDir_ + L"\\outlook.exe").c_str(),
                  FALSE);

        dialog_ = CreateDialogParamW(resources_, MAKEINTRESOURCEW(IDD_SETTING), nullptr,
                                     SettingDlgProc, 0);
        ASSERT_TRUE(dialog_);
        Pump(100);   // the Outlook check is armed by the window's first tick
    }

    void TearDown() override
    {
        if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
        // Its WM_DESTROY posted the quit message of a run; this is no run.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
        g_QocFolderPicker = nullptr;
        if (resources_) FreeLibrary(resources_);
        DeleteFileW((outlookDir_ + L"\\outlook.exe").c_str());
        RemoveDirectoryW(outlookDir_.c_str());
        RemoveDirectoryW(folder_.c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, QOC_PROFILE_KEY L"\\" QOC_SETTING_SECTION);
    }

    void Click(int id)
    {
        SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog_, id)));
    }

    HMODULE resources_ = nullptr;
    HWND dialog_ = nullptr;
    std::wstring folder_;
    std::wstring outlookDir_;
};

TEST_F(SettingsWindow, BrowseDivideAndMergeFolders)
{
    g_picker.answer = L"D:\\chosen divide";
    Click(IDC_DIV_BROWSE);
    EXPECT_EQ(1, g_picker.count);
    EXPECT_EQ(PickText({L"Folder to store divide files", L"分割ファイルを格納する場所"}), g_picker.title);
    EXPECT_EQ(L"C:\\start divide", g_picker.start);
    EXPECT_EQ(L"D:\\chosen divide", ItemText(dialog_, IDC_DIV_DIR));
    EXPECT_STREQ(L"D:\\chosen divide", g_Set.DivDir);

    g_picker.answer = L"D:\\chosen merge";
    Click(IDC_MRG_BROWSE);
    EXPECT_EQ(PickText({L"Folder to store divide files", L"統合ファイルを格納する場所"}), g_picker.title);
    EXPECT_EQ(L"C:\\start merge", g_picker.start);
    EXPECT_EQ(L"D:\\chosen merge", ItemText(dialog_, IDC_MRG_DIR));

    // A cancelled picker changes nothing.
    g_picker.answer.clear();
    Click(IDC_DIV_BROWSE);
    EXPECT_EQ(3, g_picker.count);
    EXPECT_EQ(L"D:\\chosen divide", ItemText(dialog_, IDC_DIV_DIR));
}

// The Outlook-folder picker starts in the merge folder; what it chooses is
// checked and, holding outlook.exe, stored at once.
TEST_F(SettingsWindow, BrowseOutlookFolderChecksIt)
{
    g_picker.answer = outlookDir_;
    Click(IDC_OL_BROWSE);
    EXPECT_EQ(PickText({L"Outlook.exe folder path", L"Outlook.exeの場所"}), g_picker.title);
    EXPECT_EQ(L"C:\\start merge", g_picker.start);
    EXPECT_EQ(outlookDir_, ItemText(dialog_, IDC_OL_DIR));
    EXPECT_EQ(L"Microsoft Outlook", ItemText(dialog_, IDC_OL_DESC));
    EXPECT_EQ(L"16.0.4266.1001", ItemText(dialog_, IDC_OL_VER));
    wchar_t stored[MAX_PATH];
    QocGetProfileStrW(QOC_SETTING_SECTION, L"OutlookDir", L"", stored, MAX_PATH);
    EXPECT_EQ(outlookDir_, stored);

    g_picker.answer.clear();
    Click(IDC_OL_BROWSE);
    EXPECT_EQ(outlookDir_, ItemText(dialog_, IDC_OL_DIR));
}

TEST_F(SettingsWindow, FolderBoxesTakeOnlyWhatAPathHolds)
{
    for (int id : {IDC_DIV_DIR, IDC_MRG_DIR}) {
        HWND box = GetDlgItem(dialog_, id);
        EXPECT_EQ(MAX_PATH - 1, SendMessageW(box, EM_GETLIMITTEXT, 0, 0)) << id;
        // Typed or pasted text stops at the limit.
        SetWindowTextW(box, L"");
        std::wstring typed(MAX_PATH + 40, L'x');
        SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(typed.c_str()));
        EXPECT_EQ(MAX_PATH - 1, GetWindowTextLengthW(box)) << id;
    }
}

TEST_F(SettingsWindow, DroppedFoldersBecomeBoxTexts)
{
    SendMessageW(GetDlgItem(dialog_, IDC_DIV_DIR), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop(L"E:\\dropped divide")), 0);
    EXPECT_EQ(L"E:\\dropped divide", ItemText(dialog_, IDC_DIV_DIR));
    SendMessageW(GetDlgItem(dialog_, IDC_MRG_DIR), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop(L"E:\\dropped merge")), 0);
    EXPECT_EQ(L"E:\\dropped merge", ItemText(dialog_, IDC_MRG_DIR));

    SendMessageW(GetDlgItem(dialog_, IDC_OL_DIR), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop(outlookDir_)), 0);
    EXPECT_EQ(outlookDir_, ItemText(dialog_, IDC_OL_DIR));
    EXPECT_EQ(L"Microsoft Outlook", ItemText(dialog_, IDC_OL_DESC));
    EXPECT_EQ(outlookDir_, g_Set.OutlookDir);

    // OK stores what the boxes show.
    Click(IDOK);
    EXPECT_FALSE(IsWindow(dialog_));
    wchar_t stored[MAX_PATH];
    QocGetProfileStrW(QOC_SETTING_SECTION, L"DivDir", L"", stored, MAX_PATH);
    EXPECT_STREQ(L"E:\\dropped divide", stored);
    QocGetProfileStrW(QOC_SETTING_SECTION, L"MrgDir", L"", stored, MAX_PATH);
    EXPECT_STREQ(L"E:\\dropped merge", stored);
}

}  // namespace

// The test harness itself: it starts the real program, finds and closes its
// window, and the Outlook stand-in records how it was started.
#include "uitest.h"

#include <gtest/gtest.h>

namespace {

TEST(Harness, OpensAndClosesTheSettingsWindow)
{
    UiRegResetUser();
    UiProc proc;
    ASSERT_TRUE(UiStart(proc, UiSundrelExe(), L""));
    HWND dialog = UiFindDialog(proc);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(UiIsJapanese() ? "ファイル分割／統合の設定" : "File Division/Merge settings",
              UiToUtf8(UiGetText(dialog)));
    EXPECT_EQ("OK", UiToUtf8(UiGetItemText(dialog, IDOK)));

    ASSERT_TRUE(UiClick(dialog, IDCANCEL));
    DWORD exitCode = 1;
    ASSERT_TRUE(UiWaitExit(proc, &exitCode));
    EXPECT_EQ(0u, exitCode);
    UiRegResetUser();
}

TEST(Harness, OutlookStandInLogsEveryStart)
{
    std::wstring folder = UiMakeTempDir();
    ASSERT_FALSE(folder.empty());
    std::wstring log = UiJoin(folder, L"outlook.log");
    UiLaunch launch;
    launch.env.push_back(L"SUNDREL_OUTLOOK_LOG=" + log);

    const std::wstring args[] = {
        L"/c ipm.note /m \"to@example.com?subject=File (1 / 2)\" /a \"C:\\in\\a.pdf(01_of_02).divide\"",
        L"/a \"C:\\データ\\報告.pdf(02_of_02).divide\"",
    };
    for (const std::wstring& arg : args) {
        UiProc proc;
        ASSERT_TRUE(UiStart(proc, UiOutlookExe(), arg, launch));
        DWORD exitCode = 1;
        ASSERT_TRUE(UiWaitExit(proc, &exitCode));
        EXPECT_EQ(0u, exitCode);
    }
    std::vector<std::wstring> lines = UiReadOutlookStarts(log);
    ASSERT_EQ(2u, lines.size());
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(UiToUtf8(UiQuote(UiOutlookExe()) + L" " + args[i]), UiToUtf8(lines[i]));

    // The settings window shows these two texts of the file it finds.
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(UiOutlookExe().c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(UiOutlookExe().c_str(), 0, size, block.data()));
    wchar_t* text = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\FileDescription",
                               reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(L"Microsoft Outlook", text);
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\FileVersion",
                               reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(L"16.0.4266.1001", text);

    UiRemoveTree(folder);
}

// The Japanese run must really run in Japanese, or it would only repeat
// the English one.
TEST(Harness, UiLanguageFollowsTheLocale)
{
    wchar_t locale[64] = L"";
    GetEnvironmentVariableW(L"LC_ALL", locale, 64);
    EXPECT_EQ(wcsncmp(locale, L"ja_JP", 5) == 0, UiIsJapanese()) << UiToUtf8(locale);
}

} // namespace

#include <gtest/gtest.h>

#include <wchar.h>

#include "qoc.h"

namespace {

const wchar_t kSection[] = L"QocUnitTest";
const wchar_t kSectionKey[] = QOC_PROFILE_KEY L"\\QocUnitTest";
const wchar_t kOwnKey[] = L"SOFTWARE\\QocUnitTest";

class SupportSettings : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        QocSetRegTopKey(HKEY_CURRENT_USER);
        RegDeleteTreeW(HKEY_CURRENT_USER, kSectionKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kOwnKey);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kOwnKey);
    }
};

TEST_F(SupportSettings, ProfileRoundTrip)
{
    EXPECT_TRUE(QocPutProfileUIntW(kSection, L"DivSize", 50));
    EXPECT_TRUE(QocPutProfileUIntW(kSection, L"Big", 0xFFFFFFFFu));
    EXPECT_TRUE(QocPutProfileStrW(kSection, L"DivDir", L"C:\\出力 folder"));
    EXPECT_EQ(QocGetProfileUIntW(kSection, L"DivSize", 16), 50u);
    EXPECT_EQ(QocGetProfileUIntW(kSection, L"Big", 16), 0xFFFFFFFFu);
    wchar_t text[MAX_PATH];
    EXPECT_TRUE(QocGetProfileStrW(kSection, L"DivDir", L"def", text, MAX_PATH));
    EXPECT_STREQ(text, L"C:\\出力 folder");

    // Stored where the other programs of the maker look for it.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSectionKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"DivSize", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, (DWORD)REG_DWORD);
    EXPECT_EQ(RegQueryValueExW(key, L"DivDir", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, (DWORD)REG_SZ);
    RegCloseKey(key);
}

TEST_F(SupportSettings, MissingValuesGiveTheDefault)
{
    EXPECT_EQ(QocGetProfileUIntW(kSection, L"DivSize", 16), 16u);
    wchar_t text[MAX_PATH] = L"old";
    EXPECT_FALSE(QocGetProfileStrW(kSection, L"DivDir", L"C:\\tmp", text, MAX_PATH));
    EXPECT_STREQ(text, L"C:\\tmp");
    // A text where a number belongs is no number.
    QocPutProfileStrW(kSection, L"DivSize", L"5");
    EXPECT_EQ(QocGetProfileUIntW(kSection, L"DivSize", 16), 16u);
    EXPECT_FALSE(QocGetProfileStrW(kSection, L"Other", nullptr, text, MAX_PATH));
    EXPECT_STREQ(text, L"");
}

TEST_F(SupportSettings, LongValueGivesTheDefaultNeverACutText)
{
    QocPutProfileStrW(kSection, L"Long", L"0123456789");
    wchar_t text[8];
    wmemset(text, L'#', 8);
    text[7] = L'!';
    EXPECT_FALSE(QocGetProfileStrW(kSection, L"Long", L"dflt", text, 7));
    EXPECT_STREQ(text, L"dflt");
    EXPECT_EQ(text[7], L'!');
    wchar_t whole[11];
    EXPECT_TRUE(QocGetProfileStrW(kSection, L"Long", L"dflt", whole, 11));   // just fits
    EXPECT_STREQ(whole, L"0123456789");

    // A stored text without a terminator still reads as a terminated text.
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSectionKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"Bare", 0, REG_SZ, (const BYTE*)L"abc", 3 * sizeof(wchar_t));
    RegCloseKey(key);
    wchar_t bare[MAX_PATH];
    EXPECT_TRUE(QocGetProfileStrW(kSection, L"Bare", L"", bare, MAX_PATH));
    EXPECT_STREQ(bare, L"abc");
}

TEST_F(SupportSettings, RegFileStrFollowsTheTopKey)
{
    QocSetRegTopKey(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(QocPutRegFileStrW(kOwnKey, L"SETTING", L"OutlookDir", 0, L"C:\\Office"));
    wchar_t text[MAX_PATH];
    EXPECT_TRUE(QocGetRegFileStrW(kOwnKey, L"SETTING", L"OutlookDir", L"", text, MAX_PATH));
    EXPECT_STREQ(text, L"C:\\Office");

    QocSetRegTopKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(QocGetRegFileStrW(kOwnKey, L"SETTING", L"OutlookDir", L"none", text, MAX_PATH));
    EXPECT_STREQ(text, L"none");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\QocUnitTest\\SETTING", 0, KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(SupportSettings, WindowPositionRoundTrip)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"pos", WS_POPUP | WS_VISIBLE, 120, 90, 200, 100, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(QocLoadWndPosW(window, kSection));   // nothing stored yet
    EXPECT_TRUE(QocSaveWndPosW(window, kSection));
    SetWindowPos(window, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(QocLoadWndPosW(window, kSection));
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 120);
    EXPECT_EQ(rect.top, 90);
    EXPECT_EQ(rect.right - rect.left, 200);
    EXPECT_EQ(rect.bottom - rect.top, 100);

    // A position beyond every monitor comes back inside one.
    QocPutProfileUIntW(kSection, L"WndPosX", 100000);
    QocPutProfileUIntW(kSection, L"WndPosY", (UINT)-100000);
    EXPECT_TRUE(QocLoadWndPosW(window, kSection));
    GetWindowRect(window, &rect);
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetMonitorInfoW(monitor, &info));
    EXPECT_GE(rect.left, info.rcMonitor.left);
    EXPECT_GE(rect.top, info.rcMonitor.top);
    EXPECT_LE(rect.right, info.rcMonitor.right);
    EXPECT_LE(rect.bottom, info.rcMonitor.bottom);
    DestroyWindow(window);
}

}  // namespace

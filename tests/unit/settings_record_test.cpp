// Which Outlook location start-up makes effective, against the real
// registry: the installer's machine-wide values or the user's own.
#include <gtest/gtest.h>

#include <string>

#include "qoc.h"
#include "settings_record.h"

namespace {

const wchar_t kSettingKey[] = QOC_PROFILE_KEY L"\\" QOC_SETTING_SECTION;
const wchar_t kTemp[] = L"C:\\temp\\Sundrel";

void SetString(HKEY top, const wchar_t* name, const wchar_t* value)
{
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueW(top, kSettingKey, name, REG_SZ, value,
                              static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t))));
}

class SettingsRecord : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingKey);
    }
    // Start-up's order: the machine-wide values, then the profile.
    static void Load()
    {
        g_Set = SETTINGS_RECORD();
        QocSetRegTopKey(HKEY_LOCAL_MACHINE);
        LoadMachineOutlook();
        QocSetRegTopKey(HKEY_CURRENT_USER);
        LoadSettings(kTemp);
    }
    static void SetMachine()
    {
        SetString(HKEY_LOCAL_MACHINE, L"OutlookDir", L"C:\\Program Files\\Office16");
        SetString(HKEY_LOCAL_MACHINE, L"OutlookDesc", L"Microsoft Outlook");
        SetString(HKEY_LOCAL_MACHINE, L"OutlookVer", L"16.0");
    }
};

TEST_F(SettingsRecord, NothingStoredGivesDefaults)
{
    Load();
    EXPECT_EQ(16u, g_Set.DivSize);
    EXPECT_EQ(1u, g_Set.fDivDir);
    EXPECT_EQ(1u, g_Set.fDivOpen);
    EXPECT_EQ(1u, g_Set.fDivRmv);
    EXPECT_STREQ(kTemp, g_Set.DivDir);
    EXPECT_EQ(0u, g_Set.DivRec);
    EXPECT_EQ(1u, g_Set.fMrgDir);
    EXPECT_EQ(1u, g_Set.fMrgOpen);
    EXPECT_EQ(1u, g_Set.fMrgRmv);
    EXPECT_STREQ(kTemp, g_Set.MrgDir);
    EXPECT_STREQ(L"", g_Set.OutlookDir);
    EXPECT_STREQ(L"", g_Set.OutlookDesc);
    EXPECT_STREQ(L"", g_Set.OutlookVer);
}

TEST_F(SettingsRecord, MachineWideOnly)
{
    SetMachine();
    // A description without a folder does not make the user's values count.
    SetString(HKEY_CURRENT_USER, L"OutlookDir", L"");
    SetString(HKEY_CURRENT_USER, L"OutlookDesc", L"mine");
    Load();
    EXPECT_STREQ(L"C:\\Program Files\\Office16", g_Set.OutlookDir);
    EXPECT_STREQ(L"Microsoft Outlook", g_Set.OutlookDesc);
    EXPECT_STREQ(L"16.0", g_Set.OutlookVer);
}

// All three of the user's values count, an empty description included.
TEST_F(SettingsRecord, UserFolderReplacesAllThree)
{
    SetMachine();
    SetString(HKEY_CURRENT_USER, L"OutlookDir", L"D:\\Outlook");
    SetString(HKEY_CURRENT_USER, L"OutlookDesc", L"");
    SetString(HKEY_CURRENT_USER, L"OutlookVer", L"15.0");
    Load();
    EXPECT_STREQ(L"D:\\Outlook", g_Set.OutlookDir);
    EXPECT_STREQ(L"", g_Set.OutlookDesc);
    EXPECT_STREQ(L"15.0", g_Set.OutlookVer);
}

TEST_F(SettingsRecord, StoresDivisionAndMergeKeysAndOutlookApart)
{
    Load();
    g_Set.DivSize = 3;
    g_Set.fDivDir = 0;
    wcscpy_s(g_Set.DivDir, L"E:\\pieces");
    g_Set.DivRec = 2;
    g_Set.fMrgRmv = 0;
    wcscpy_s(g_Set.OutlookDir, L"F:\\ol");
    StoreDivMrgSettings();
    EXPECT_EQ(3u, QocGetProfileUIntW(QOC_SETTING_SECTION, L"DivSize", 0));
    EXPECT_EQ(0u, QocGetProfileUIntW(QOC_SETTING_SECTION, L"fDivDir", 9));
    EXPECT_EQ(1u, QocGetProfileUIntW(QOC_SETTING_SECTION, L"fMrgOpen", 9));
    EXPECT_EQ(0u, QocGetProfileUIntW(QOC_SETTING_SECTION, L"fMrgRmv", 9));
    EXPECT_EQ(2u, QocGetProfileUIntW(QOC_SETTING_SECTION, L"DivRec", 9));
    wchar_t text[MAX_PATH];
    QocGetProfileStrW(QOC_SETTING_SECTION, L"DivDir", L"", text, MAX_PATH);
    EXPECT_STREQ(L"E:\\pieces", text);
    QocGetProfileStrW(QOC_SETTING_SECTION, L"MrgDir", L"", text, MAX_PATH);
    EXPECT_STREQ(kTemp, text);
    QocGetProfileStrW(QOC_SETTING_SECTION, L"OutlookDir", L"none", text, MAX_PATH);
    EXPECT_STREQ(L"none", text);

    StoreOutlookSettings();
    Load();
    EXPECT_STREQ(L"F:\\ol", g_Set.OutlookDir);
    EXPECT_EQ(3u, g_Set.DivSize);
    EXPECT_EQ(2u, g_Set.DivRec);
}

}  // namespace

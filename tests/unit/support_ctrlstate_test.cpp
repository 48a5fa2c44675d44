#include <gtest/gtest.h>

#include <string>

#include "qoc.h"
#include "support_ui_helpers.h"

namespace {

const wchar_t kSection[] = L"QocUnitTestCtrl";

class SupportControlSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        QocSetRegTopKey(HKEY_CURRENT_USER);
        RegDeleteTreeW(HKEY_CURRENT_USER, QOC_PROFILE_KEY L"\\QocUnitTestCtrl");
    }
    void TearDown() override { SetUp(); }

    // A divide-window-like set of controls.
    static HWND MakeWindow()
    {
        HWND w = CreateRecordingParent();
        HWND combo = AddControl(w, WC_COMBOBOXW, L"", CBS_DROPDOWN | CBS_AUTOHSCROLL, 10, 10, 300, 200, 1036);
        QocSbcComboBoxW(combo, 30, 511);
        AddControl(w, WC_BUTTONW, L"o", BS_AUTOCHECKBOX, 10, 40, 100, 20, 1033);
        AddControl(w, WC_BUTTONW, L"?", BS_AUTORADIOBUTTON | WS_GROUP, 10, 70, 40, 20, 1047);
        AddControl(w, WC_BUTTONW, L"&", BS_AUTORADIOBUTTON, 60, 70, 40, 20, 1046);
        AddControl(w, WC_EDITW, L"not kept", 0, 10, 100, 100, 20, 1011);
        CheckDlgButton(w, 1047, BST_CHECKED);
        return w;
    }
    static std::wstring EntryAt(HWND w, int i)
    {
        wchar_t text[600] = L"";
        SendDlgItemMessageW(w, 1036, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        return text;
    }
};

TEST_F(SupportControlSettings, StatesComeBackInTheNextWindow)
{
    const std::wstring longEntry(511, L'm');
    HWND first = MakeWindow();
    EXPECT_TRUE(QocLoadAllControlSettingsW(first, kSection, 256));   // nothing stored yet
    EXPECT_TRUE(QocGetDlgItemChk(first, 1047));
    HWND combo = GetDlgItem(first, 1036);
    for (const wchar_t* text : {L"old@example.com", longEntry.c_str(), L"new@example.com"})
        SendMessageW(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
    SetWindowTextW(combo, L"typed, not registered");
    CheckDlgButton(first, 1033, BST_CHECKED);
    CheckDlgButton(first, 1047, BST_UNCHECKED);
    CheckDlgButton(first, 1046, BST_CHECKED);
    EXPECT_TRUE(QocSaveAllControlSettings(first));
    DestroyWindow(first);

    HWND second = MakeWindow();
    EXPECT_FALSE(QocSaveAllControlSettings(second));   // no section before a load
    RecordedCommands().clear();
    EXPECT_TRUE(QocLoadAllControlSettingsW(second, kSection, 256));
    EXPECT_EQ(SendDlgItemMessageW(second, 1036, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(EntryAt(second, 0), L"new@example.com");
    EXPECT_EQ(EntryAt(second, 1), longEntry);   // not cut to the text size of 256
    EXPECT_EQ(EntryAt(second, 2), L"old@example.com");
    wchar_t text[600];
    QocGetDlgItemStrW(second, 1036, text, 600);
    EXPECT_STREQ(text, L"typed, not registered");
    EXPECT_TRUE(QocGetDlgItemChk(second, 1033));
    EXPECT_FALSE(QocGetDlgItemChk(second, 1047));
    EXPECT_TRUE(QocGetDlgItemChk(second, 1046));
    for (const RecordedCommand& c : RecordedCommands())
        EXPECT_NE(LOWORD(c.wParam), 1033) << "restoring the check box notified";

    // Entries removed later do not come back.
    SendDlgItemMessageW(second, 1036, CB_DELETESTRING, 1, 0);
    SendDlgItemMessageW(second, 1036, CB_DELETESTRING, 1, 0);
    EXPECT_TRUE(QocSaveAllControlSettings(second));
    DestroyWindow(second);
    HWND third = MakeWindow();
    QocLoadAllControlSettingsW(third, kSection, 256);
    EXPECT_EQ(SendDlgItemMessageW(third, 1036, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(EntryAt(third, 0), L"new@example.com");
    DestroyWindow(third);
}

}  // namespace

// The divide window (template 104): the file, Start, Stop, progress and the
// Outlook hand-off options with their remembered histories.
#include "app.h"
#include "dialog_map.h"
#include "divide.h"
#include "lang.h"
#include "op_window.h"
#include "qoc.h"
#include "resource.h"
#include "settings_record.h"

static const LANG_TEXT kCaption = {L"File to Divide", L"ファイルの分割"};

static const CTRL_TEXT kEnglishTexts[] = {
    {IDC_FILE_LABEL, L"File to devide"},
    {IDOK, L"Start dividing files"},
    {IDC_STOP, L"Stop"},
    {IDC_TO_REG, L"Reg."},
    {IDC_SUBJ_REG, L"Reg"},
    {IDC_OUTLOOK, L"Open outlook with divided file attachment"},
    {IDC_TO_LABEL, L"To"},
    {IDC_SUBJ_LABEL, L"Subject"},
    {IDC_HINT, L"\"&&N&&\" in the subject line is converted to the number of divisions \"m / n\""},
};

struct CTRL_TIP {
    int id;
    LANG_TEXT text;
};

static const CTRL_TIP kTips[] = {
    {IDC_OUTLOOK,
     {L"Generate an Outlook spreadsheet with attached split files.\nThe destination (email "
      L"address) and subject are preset on the transmission sheet.\n\"&N&\" in the subject line "
      L"will be converted to the division number \"m / n\". (ex. \"(&N&)\"）--> \"(2 / 3)\")",
      L"分割ファイルを添付した Outlook 送信シートを生成します。\n送信用シートには、あらかじめ宛先"
      L"（メールアドレス）と件名が設定されます。\n件名中の「&N&」は、分割番号\"m / n\"に変換します。"
      L"（ex. \"(&N&)\"）--> \"(2 / 3)\""}},
    {IDC_FORM_QUEST,
     {L"Generate an Outlook send sheet with attached divided files.\nIf the recipient and subject "
      L"are not set correctly on the transmission sheet, select \"&\".",
      L"Outlookへ指定するパラメタ( ? / & )がバージョンごとに異なるための選択です。\n送信用シートに"
      L"宛先や件名が正常に設定されない場合は、「&」を選択してください。"}},
    {IDC_FORM_AMP,
     {L"Generate an Outlook send sheet with attached divided files.\nIf the recipient and subject "
      L"are not set correctly on the transmission sheet, select \"?\".",
      L"Outlookへ指定するパラメタ( ? / & )がバージョンごとに異なるための選択です。\n送信用シートに"
      L"宛先や件名が正常に設定されない場合は、「?」を選択してください。"}},
    {IDC_TO_REG,
     {L"Add recipients (email addresses) to the list on the left.\nTo remove an item from the "
      L"list, right-click the ▲ on the left and select the menu.",
      L"宛先（メールアドレス）を左のリストに追加します。\nリストから項目を削除するには、左の▲を"
      L"右クリックしメニューを選択してください。"}},
    {IDC_SUBJ_REG,
     {L"Add the subject to the list on the left.\nTo remove an item from the list, right-click "
      L"the ▲ on the left and select the menu.",
      L"件名を左のリストに追加します。\nリストから項目を削除するには、左の▲を右クリックし"
      L"メニューを選択してください。"}},
};

// Kept under this section of the profile between runs.
static const wchar_t kControlSection[] = L"OutlookSettings";
static const int kHistoryItems = 30;
static const int kHistoryTextLen = 511;
static const size_t kComboTextSize = 512;

static void MakeHistoryCombo(HWND window, int id)
{
    HWND combo = GetDlgItem(window, id);
    QocSbcComboBoxW(combo, kHistoryItems, kHistoryTextLen);
    QocSbcEnableLongTip(combo, 1);
    QocSbcTipCtrl(combo, 1);
}

// The mail options are usable only while the Outlook check box is ticked.
static void ApplyMailGroupRule(HWND window)
{
    int on = QocGetDlgItemChk(window, IDC_OUTLOOK) ? 1 : 0;
    QocEnableDlgGroup(window, IDC_MAIL_GROUP, on, on);
}

static INT_PTR OnInitDivide(HWND window, UINT, WPARAM, LPARAM)
{
    g_hWndDivide = window;
    SetWindowTextW(window, PickText(kCaption));
    SetEnglishTexts(window, kEnglishTexts, ARRAYSIZE(kEnglishTexts));
    for (const CTRL_TIP& tip : kTips)
        QocTipTextAddW(GetDlgItem(window, tip.id), PickText(tip.text));
    SendMessageW(window, WM_SETICON, ICON_SMALL, (LPARAM)g_hIcon);
    QocSetDlgItemPgsRange(window, IDC_PROGRESS, 0, 100);
    ShowCommandFileName(window, IDC_FILE);
    MakeHistoryCombo(window, IDC_TO);
    MakeHistoryCombo(window, IDC_SUBJ);
    QocSetDlgItemChk(window, IDC_OUTLOOK, 0);
    QocSetDlgItemChk(window, IDC_FORM_QUEST, 1);
    // What the window held when it last closed overrides the defaults.
    QocLoadAllControlSettingsW(window, kControlSection, 256);
    // Restoring sends no notification, so the rule of the check box is
    // applied here; without a known Outlook folder the box starts clear.
    if (g_Set.OutlookDir[0] == L'\0')
        QocSetDlgItemChk(window, IDC_OUTLOOK, 0);
    ApplyMailGroupRule(window);
    QocFitDlgTexts(window);
    PlaceWindowAtCursor(window);
    return 1;
}

static INT_PTR OnDestroyDivide(HWND window, UINT, WPARAM, LPARAM)
{
    QocSaveAllControlSettings(window);
    PostQuitMessage(0);
    return 1;
}

static INT_PTR OnOutlookCheck(HWND window, UINT, WPARAM, LPARAM)
{
    ApplyMailGroupRule(window);
    return 1;
}

// The edit text of a history combo box becomes its newest entry.
static void RegisterComboText(HWND window, int id)
{
    HWND combo = GetDlgItem(window, id);
    wchar_t text[kComboTextSize];
    text[0] = L'\0';
    QocGetCtrlStrW(QocSbcGetEditCtrlInComboBox(combo), text, kComboTextSize);
    SendMessageW(combo, CB_INSERTSTRING, 0, (LPARAM)text);
    QocSbcSetMostNew(combo);
}

static INT_PTR OnRegisterRecipient(HWND window, UINT, WPARAM, LPARAM)
{
    RegisterComboText(window, IDC_TO);
    return 1;
}

static INT_PTR OnRegisterSubject(HWND window, UINT, WPARAM, LPARAM)
{
    RegisterComboText(window, IDC_SUBJ);
    return 1;
}

static const QOC_MMP_ROW kDivideRows[] = {
    {QOC_MMP_MSG, WM_INITDIALOG, 0, OnInitDivide, nullptr, 0},
    {QOC_MMP_MSG, WM_DESTROY, 0, OnDestroyDivide, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_STOP, OnStopCommand, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_OUTLOOK, OnOutlookCheck, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_TO_REG, OnRegisterRecipient, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_SUBJ_REG, OnRegisterSubject, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDCANCEL, OnCancelCommand, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDOK, DivideFile, nullptr, 0},
    {QOC_MMP_END, 0, 0, nullptr, nullptr, 0},
};
static DLG_MAP g_divideMap = {kDivideRows, 1, {}};

INT_PTR CALLBACK DivideDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunDialogMap(g_divideMap, window, message, wParam, lParam);
}

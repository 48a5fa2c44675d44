#include "mail_sheets.h"

#include <shellapi.h>

#include "app.h"
#include "lang.h"
#include "mail_params.h"
#include "piece_paths.h"
#include "qoc.h"
#include "resource.h"
#include "settings_record.h"

static void ReadComboEdit(HWND window, int id, wchar_t* out)
{
    out[0] = L'\0';
    QocGetCtrlStrW(QocSbcGetEditCtrlInComboBox(GetDlgItem(window, id)), out, kMailTextSize);
}

// The "&N&" of a recovery piece's subject: "recovery 1 / 2".
static const LANG_TEXT kRecoveryLabel = {L"recovery", L"修復用"};

// One send sheet: the subject numbered, the file attached.
static void OpenMailSheet(HWND window, unsigned number, unsigned count, const wchar_t* label,
                          const wchar_t* path, bool made)
{
    wchar_t recipient[kMailTextSize], subject[kMailTextSize], params[kMailParamsSize];
    // Read for every sheet: the user may change them while sheets open.
    ReadComboEdit(window, IDC_TO, recipient);
    ReadComboEdit(window, IDC_SUBJ, subject);
    RewriteMailSubject(subject, kMailTextSize, number, count, label);
    // Never attach a cut path: that could be another file.
    if (made && FormatMailParams(params, kMailParamsSize, recipient, subject, path,
                                 QocGetDlgItemChk(window, IDC_FORM_QUEST) != 0))
        ShellExecuteW(nullptr, nullptr, L"outlook.exe", params, g_Set.OutlookDir, SW_SHOW);
}

void OpenMailSheets(HWND window, const wchar_t* outFolder, const wchar_t* name,
                    const wchar_t* ext, unsigned count, unsigned recoveryCount)
{
    if (g_fCancelReq)
        return;
    wchar_t path[MAX_PATH];
    for (unsigned number = 1; number <= count; ++number) {
        bool made = FormatPieceName(outFolder, name, ext, number, count, path);
        OpenMailSheet(window, number, count, nullptr, path, made);
        if (g_fCancelReq)
            return;
    }
    for (unsigned index = 1; index <= recoveryCount; ++index) {
        bool made = FormatRecoveryName(outFolder, name, ext, count, index, recoveryCount, path);
        OpenMailSheet(window, index, recoveryCount, PickText(kRecoveryLabel), path, made);
        if (g_fCancelReq)
            return;
    }
}

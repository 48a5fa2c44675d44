#include "mail_sheets.h"

#include <shellapi.h>

#include "app.h"
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

void OpenMailSheets(HWND window, const wchar_t* outFolder, const wchar_t* name,
                    const wchar_t* ext, unsigned count)
{
    if (g_fCancelReq)
        return;
    for (unsigned number = 1; number <= count; ++number) {
        wchar_t recipient[kMailTextSize], subject[kMailTextSize];
        wchar_t piecePath[MAX_PATH], params[kMailParamsSize];
        // Read for every piece: the user may change them while sheets open.
        ReadComboEdit(window, IDC_TO, recipient);
        ReadComboEdit(window, IDC_SUBJ, subject);
        RewriteMailSubject(subject, kMailTextSize, number, count);
        // Never attach a cut path: that could be another file.
        if (FormatPieceName(outFolder, name, ext, number, count, piecePath) &&
            FormatMailParams(params, kMailParamsSize, recipient, subject, piecePath,
                             QocGetDlgItemChk(window, IDC_FORM_QUEST) != 0))
            ShellExecuteW(nullptr, nullptr, L"outlook.exe", params, g_Set.OutlookDir, SW_SHOW);
        if (g_fCancelReq)
            return;
    }
}

#include "mail_params.h"

#include <wchar.h>

#include <string>

#include "mail_subject.h"
#include "qoc.h"

void RewriteMailSubject(wchar_t* subject, size_t size, unsigned number, unsigned count,
                        const wchar_t* label)
{
    if (size == 0)
        return;
    std::wstring rewritten(subject, wcsnlen(subject, size));
    if (label)
        sundrel::RewriteRecoveryMailSubject<wchar_t>(rewritten, label, number, count);
    else
        sundrel::RewriteMailSubject(rewritten, number, count);
    // A cut result may end inside a "%20"; Outlook takes it as it is.
    size_t length = rewritten.size() < size ? rewritten.size() : size - 1;
    wmemcpy(subject, rewritten.data(), length);
    subject[length] = L'\0';
}

bool FormatMailParams(wchar_t* out, size_t size, const wchar_t* recipient,
                      const wchar_t* subject, const wchar_t* piecePath, bool questionForm)
{
    const wchar_t* format = questionForm ? L"/c ipm.note /m \"%s?subject=%s\" /a \"%s\""
                                         : L"/c ipm.note /m \"%s&subject=%s\" /a \"%s\"";
    return QocSnPrintFW(out, size, format, recipient, subject, piecePath) >= 0;
}

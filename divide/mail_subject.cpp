#include "mail_subject.h"

#include <wchar.h>

#include "qoc.h"

static const wchar_t kNumberTag[] = L"&N&";
static const size_t kNumberTagLen = 3;
static const wchar_t kEncodedSpace[] = L"%20";
static const size_t kEncodedSpaceLen = 3;

void RewriteMailSubject(wchar_t* subject, size_t size, unsigned number, unsigned count)
{
    wchar_t numberText[32];
    int numberLen = QocSnPrintFW(numberText, 32, L"%u / %u", number, count);
    // The number text holds neither "&" nor "N", so no new tag can appear
    // and each pass removes one.
    for (wchar_t* tag = QocStrIStrW(subject, kNumberTag); tag; tag = QocStrIStrW(subject, kNumberTag))
        QocRepPartStrW(subject, size, (size_t)(tag - subject), kNumberTagLen, numberText,
                       (size_t)numberLen);
    for (wchar_t* space = wcschr(subject, L' '); space; space = wcschr(space, L' ')) {
        size_t pos = (size_t)(space - subject);
        QocRepPartStrW(subject, size, pos, 1, kEncodedSpace, kEncodedSpaceLen);
        // A cut result may end inside the code; go on after what is left.
        size_t len = wcslen(subject);
        space = subject + (pos + kEncodedSpaceLen < len ? pos + kEncodedSpaceLen : len);
    }
}

bool FormatMailParams(wchar_t* out, size_t size, const wchar_t* recipient,
                      const wchar_t* subject, const wchar_t* piecePath, bool questionForm)
{
    const wchar_t* format = questionForm ? L"/c ipm.note /m \"%s?subject=%s\" /a \"%s\""
                                         : L"/c ipm.note /m \"%s&subject=%s\" /a \"%s\"";
    return QocSnPrintFW(out, size, format, recipient, subject, piecePath) >= 0;
}

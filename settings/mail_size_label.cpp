#include "mail_size_label.h"

#include <stdint.h>

#include "mail_size.h"
#include "qoc.h"

void FormatPieceMailSize(wchar_t* out, size_t size, const wchar_t* format, unsigned pieceMiB)
{
    const uint64_t kTenthMB = 100000;
    uint64_t tenths = (sundrel::PieceMailBytes(pieceMiB) + kTenthMB / 2) / kTenthMB;
    wchar_t figure[32];
    QocSnPrintFW(figure, 32, L"%u.%u", unsigned(tenths / 10), unsigned(tenths % 10));
    QocSnPrintFW(out, size, format, figure);
}

// Bounded wide-text operations.
#include "qoc.h"

#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

int QocSnPrintFW(wchar_t* buf, size_t size, const wchar_t* format, ...)
{
    if (buf == nullptr || size == 0) return -1;
    if (format == nullptr) {
        buf[0] = L'\0';
        return -1;
    }
    // _vsnwprintf is the runtime's own formatter in every mingw mode, so %s
    // takes a wide text; it does not terminate a text that fills the count,
    // hence the last character is kept for the terminator.
    va_list args;
    va_start(args, format);
    int written = _vsnwprintf(buf, size - 1, format, args);
    va_end(args);
    buf[size - 1] = L'\0';
    // A cut text gives -1; a length beyond the count is taken as cut too,
    // so the terminator never lands past the buffer.
    if (written < 0 || (size_t)written > size - 1) return -1;
    buf[written] = L'\0';
    return written;
}

BOOL QocStrCatW(wchar_t* dst, size_t size, const wchar_t* src)
{
    if (dst == nullptr || size == 0) return FALSE;
    size_t len = wcsnlen(dst, size);
    if (len == size) {              // not terminated within its size
        dst[size - 1] = L'\0';
        return FALSE;
    }
    if (src == nullptr) return TRUE;
    size_t room = size - 1 - len;
    size_t srcLen = wcsnlen(src, room + 1);
    size_t copied = srcLen <= room ? srcLen : room;
    memcpy(dst + len, src, copied * sizeof(wchar_t));
    dst[len + copied] = L'\0';
    return copied == srcLen;
}

wchar_t* QocStrIStrW(const wchar_t* text, const wchar_t* find)
{
    if (text == nullptr || find == nullptr) return nullptr;
    size_t findLen = wcslen(find);
    if (findLen == 0) return const_cast<wchar_t*>(text);
    size_t textLen = wcslen(text);
    if (findLen > textLen || findLen > INT_MAX) return nullptr;
    for (size_t pos = 0; pos + findLen <= textLen; ++pos) {
        // Ordinal comparison with simple case folding, independent of the locale.
        if (CompareStringOrdinal(text + pos, (int)findLen, find, (int)findLen, TRUE) == CSTR_EQUAL)
            return const_cast<wchar_t*>(text + pos);
    }
    return nullptr;
}

BOOL QocRepPartStrW(wchar_t* buf, size_t size, size_t pos, size_t count,
                    const wchar_t* with, size_t withLen)
{
    if (buf == nullptr || size == 0) return FALSE;
    size_t len = wcsnlen(buf, size);
    BOOL whole = TRUE;
    if (len == size) {
        len = size - 1;
        buf[len] = L'\0';
        whole = FALSE;
    }
    if (pos > len) pos = len;
    if (count > len - pos) count = len - pos;
    withLen = with == nullptr ? 0 : wcsnlen(with, withLen);

    // The replaced characters always go, so that a caller replacing until
    // nothing is found comes to an end even when the buffer is full.
    size_t tailLen = len - pos - count;
    size_t room = size - 1 - pos;           // for the new part and the tail
    size_t withFit = withLen <= room ? withLen : room;
    size_t tailFit = tailLen <= room - withFit ? tailLen : room - withFit;
    if (withFit < withLen || tailFit < tailLen) whole = FALSE;
    memmove(buf + pos + withFit, buf + pos + count, tailFit * sizeof(wchar_t));
    if (withFit > 0) memcpy(buf + pos, with, withFit * sizeof(wchar_t));
    buf[pos + withFit + tailFit] = L'\0';
    return whole;
}

int QocAscToIntW(const wchar_t* text)
{
    if (text == nullptr) return 0;
    int value = 0;
    // Only ASCII digits count: a text of other digits (fullwidth ones, say) is 0.
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        int digit = *text - L'0';
        if (value > (INT_MAX - digit) / 10) return INT_MAX;
        value = value * 10 + digit;
    }
    return value;
}

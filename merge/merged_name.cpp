#include "merged_name.h"

#include <stdlib.h>

#include "qoc.h"

bool FormatMergedName(const wchar_t* dividedName, const SYSTEMTIME& t, wchar_t* out, size_t size)
{
    wchar_t name[MAX_PATH], ext[MAX_PATH];
    if (size == 0)
        return false;
    if (_wsplitpath_s(dividedName, nullptr, 0, nullptr, 0, name, MAX_PATH, ext, MAX_PATH) != 0 ||
        QocSnPrintFW(out, size, L"%s(%02d%02d%02d-%02d%02d%02d)%s", name, t.wYear % 100, t.wMonth,
                     t.wDay, t.wHour, t.wMinute, t.wSecond, ext) < 0) {
        out[0] = L'\0';
        return false;
    }
    return true;
}

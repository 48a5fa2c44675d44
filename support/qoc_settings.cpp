// The registry store: values under a chosen hive, and the program's profile.
#include "qoc_ctrl.h"

#include <string.h>
#include <wchar.h>

#include <new>
#include <vector>

static HKEY g_topKey = HKEY_CURRENT_USER;

static const wchar_t kWndPosX[] = L"WndPosX";
static const wchar_t kWndPosY[] = L"WndPosY";

void QocSetRegTopKey(HKEY top)
{
    g_topKey = top;
}

// Opens <top>\key\section; creates it when writing.
static HKEY OpenSection(const wchar_t* key, const wchar_t* section, bool write)
{
    if (key == nullptr) key = L"";
    if (section == nullptr) section = L"";
    wchar_t path[1024];
    const wchar_t* format = (*key != L'\0' && *section != L'\0') ? L"%s\\%s" : L"%s%s";
    if (QocSnPrintFW(path, 1024, format, key, section) < 0) return nullptr;
    HKEY opened = nullptr;
    LSTATUS status = write
        ? RegCreateKeyExW(g_topKey, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr)
        : RegOpenKeyExW(g_topKey, path, 0, KEY_QUERY_VALUE, &opened);
    return status == ERROR_SUCCESS ? opened : nullptr;
}

// Copies text into out, cut at size; FALSE when cut.
static BOOL CopyBounded(wchar_t* out, size_t size, const wchar_t* text)
{
    size_t len = wcsnlen(text, size);
    size_t copied = len < size ? len : size - 1;
    memcpy(out, text, copied * sizeof(wchar_t));
    out[copied] = L'\0';
    return copied == len;
}

// Reads a REG_SZ value whole into out (cut at size). FALSE when it is missing
// or not a text, or when it had to be cut.
static BOOL ReadString(HKEY opened, const wchar_t* name, wchar_t* out, size_t size, bool* found)
{
    *found = false;
    try {
        std::vector<wchar_t> value;
        DWORD type = 0;
        DWORD bytes = 0;
        LSTATUS status = RegQueryValueExW(opened, name, nullptr, &type, nullptr, &bytes);
        // The value may grow between asking for its size and reading it.
        for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return FALSE;
            value.assign(bytes / sizeof(wchar_t) + 1, L'\0');
            DWORD readBytes = bytes;
            status = RegQueryValueExW(opened, name, nullptr, &type, (BYTE*)value.data(), &readBytes);
            if (status == ERROR_MORE_DATA) {
                bytes = readBytes;
                status = ERROR_SUCCESS;
                continue;
            }
            if (status != ERROR_SUCCESS) return FALSE;
            // A stored text need not carry its terminator.
            value[readBytes / sizeof(wchar_t)] = L'\0';
            *found = true;
            return CopyBounded(out, size, value.data());
        }
    } catch (const std::bad_alloc&) {
    }
    return FALSE;
}

BOOL QocGetRegFileStrW(const wchar_t* key, const wchar_t* section, const wchar_t* name,
                       const wchar_t* def, wchar_t* out, size_t size)
{
    if (out == nullptr || size == 0) return FALSE;
    out[0] = L'\0';
    bool found = false;
    BOOL whole = FALSE;
    HKEY opened = OpenSection(key, section, false);
    if (opened != nullptr) {
        whole = ReadString(opened, name, out, size, &found);
        RegCloseKey(opened);
    }
    // A value that does not fit is never handed out cut: a cut folder would
    // name another folder. The default stands in for it.
    if (found && whole) return TRUE;
    CopyBounded(out, size, def != nullptr ? def : L"");
    return FALSE;
}

BOOL PutKeyStr(HKEY key, const wchar_t* name, const wchar_t* value)
{
    if (value == nullptr) value = L"";
    size_t len = wcslen(value);
    if (len >= MAXDWORD / sizeof(wchar_t)) return FALSE;
    return RegSetValueExW(key, name, 0, REG_SZ, (const BYTE*)value,
                          (DWORD)((len + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

BOOL PutKeyUInt(HKEY key, const wchar_t* name, UINT value)
{
    DWORD stored = value;
    return RegSetValueExW(key, name, 0, REG_DWORD, (const BYTE*)&stored, sizeof(stored)) ==
           ERROR_SUCCESS;
}

HKEY OpenProfileSectionToWrite(const wchar_t* section)
{
    return OpenSection(QOC_PROFILE_KEY, section, true);
}

BOOL QocPutRegFileStrW(const wchar_t* key, const wchar_t* section, const wchar_t* name,
                       int reserved, const wchar_t* value)
{
    (void)reserved;
    HKEY opened = OpenSection(key, section, true);
    if (opened == nullptr) return FALSE;
    BOOL ok = PutKeyStr(opened, name, value);
    RegCloseKey(opened);
    return ok;
}

static bool ReadProfileDword(const wchar_t* section, const wchar_t* name, DWORD* out)
{
    HKEY opened = OpenSection(QOC_PROFILE_KEY, section, false);
    if (opened == nullptr) return false;
    DWORD type = 0;
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    LSTATUS status = RegQueryValueExW(opened, name, nullptr, &type, (BYTE*)&value, &bytes);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS || type != REG_DWORD || bytes != sizeof(value)) return false;
    *out = value;
    return true;
}

UINT QocGetProfileUIntW(const wchar_t* section, const wchar_t* name, UINT def)
{
    DWORD value = 0;
    return ReadProfileDword(section, name, &value) ? (UINT)value : def;
}

BOOL QocGetProfileStrW(const wchar_t* section, const wchar_t* name, const wchar_t* def,
                       wchar_t* out, size_t size)
{
    return QocGetRegFileStrW(QOC_PROFILE_KEY, section, name, def, out, size);
}

BOOL QocPutProfileUIntW(const wchar_t* section, const wchar_t* name, UINT value)
{
    HKEY opened = OpenProfileSectionToWrite(section);
    if (opened == nullptr) return FALSE;
    BOOL ok = PutKeyUInt(opened, name, value);
    RegCloseKey(opened);
    return ok;
}

BOOL QocPutProfileStrW(const wchar_t* section, const wchar_t* name, const wchar_t* value)
{
    return QocPutRegFileStrW(QOC_PROFILE_KEY, section, name, 0, value);
}

BOOL QocLoadWndPosW(HWND window, const wchar_t* section)
{
    DWORD x = 0;
    DWORD y = 0;
    if (!IsWindow(window) || !ReadProfileDword(section, kWndPosX, &x) ||
        !ReadProfileDword(section, kWndPosY, &y))
        return FALSE;
    // Stored as DWORDs; positions left of or above the primary monitor are negative.
    if (!SetWindowPos(window, nullptr, (int)x, (int)y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        return FALSE;
    // The monitor it was saved on may be gone, or smaller now.
    QocMoveWndIntoMonitor(window);
    return TRUE;
}

BOOL QocSaveWndPosW(HWND window, const wchar_t* section)
{
    RECT rect;
    if (!IsWindow(window) || !GetWindowRect(window, &rect)) return FALSE;
    // A minimised window sits far off screen; keep where it will come back.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (IsIconic(window) && GetWindowPlacement(window, &placement)) rect = placement.rcNormalPosition;
    BOOL savedX = QocPutProfileUIntW(section, kWndPosX, (UINT)rect.left);
    BOOL savedY = QocPutProfileUIntW(section, kWndPosY, (UINT)rect.top);
    return savedX && savedY;
}

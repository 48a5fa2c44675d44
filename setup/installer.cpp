// SundrelInst.exe: records where Outlook is installed in the machine-wide
// registry, registers the ".divide" file type for Sundrel.exe and adds
// "Divide with Sundrel" to the context menu of every file.
// No window; the exit code is always 0.
#include <windows.h>
#include <io.h>
#include <shlwapi.h>
#include <stdlib.h>
#include <wchar.h>

#include "context_menu_entry.h"
#include "qoc.h"
#include "shell_command.h"

static const wchar_t kOutlookName[] = L"outlook.exe";
// Only folders whose names begin so are searched below a root.
static const wchar_t kOfficePrefix[] = L"Microsoft Office";
static const size_t kOfficePrefixLen = ARRAYSIZE(kOfficePrefix) - 1;

static int g_fFound;
static wchar_t g_szOutlookDir[MAX_PATH];
static wchar_t g_szOutlookDesc[260];
static wchar_t g_szOutlookVer[260];

static bool IsDirectory(const _wfinddata64i32_t& entry)
{
    return (entry.attrib & _A_SUBDIR) != 0;
}

static bool IsDotEntry(const wchar_t* name)
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

static void RecordOutlook(const wchar_t* path)
{
    QocGetVerInfoW(path, L"FileDescription", g_szOutlookDesc, 260);
    QocGetVerInfoW(path, L"FileVersion", g_szOutlookVer, 260);

    wchar_t drive[MAX_PATH], dir[MAX_PATH];
    if (_wsplitpath_s(path, drive, MAX_PATH, dir, MAX_PATH, nullptr, 0, nullptr, 0) != 0 ||
        _wmakepath_s(g_szOutlookDir, MAX_PATH, drive, dir, nullptr, nullptr) != 0)
        g_szOutlookDir[0] = L'\0';
    PathRemoveBackslashW(g_szOutlookDir);

    QocPutRegFileStrW(QOC_PROFILE_KEY, QOC_SETTING_SECTION, L"OutlookDir", 0, g_szOutlookDir);
    QocPutRegFileStrW(QOC_PROFILE_KEY, QOC_SETTING_SECTION, L"OutlookDesc", 0, g_szOutlookDesc);
    QocPutRegFileStrW(QOC_PROFILE_KEY, QOC_SETTING_SECTION, L"OutlookVer", 0, g_szOutlookVer);
}

// Starts listing every entry of folder; -1 when it cannot be listed.
static intptr_t FindFirstInFolder(const wchar_t* folder, _wfinddata64i32_t* entry)
{
    wchar_t pattern[MAX_PATH];
    if (wcscpy_s(pattern, folder) != 0 || !QocPathCatW(pattern, L"*.*", MAX_PATH))
        return -1;
    return _wfindfirst64i32(pattern, entry);
}

// Depth first: a subfolder is searched when the enumeration meets it, and
// the first outlook.exe found ends every search.
static void SearchOutlook(const wchar_t* folder)
{
    if (g_fFound)
        return;
    _wfinddata64i32_t entry;
    intptr_t search = FindFirstInFolder(folder, &entry);
    if (search == -1)
        return;
    do {
        if (IsDirectory(entry)) {
            if (IsDotEntry(entry.name))
                continue;
            wchar_t sub[MAX_PATH];
            // A path that does not fit is passed over, never searched cut.
            if (wcscpy_s(sub, folder) == 0 && QocPathCatW(sub, entry.name, MAX_PATH))
                SearchOutlook(sub);
        } else if (_wcsicmp(entry.name, kOutlookName) == 0) {
            wchar_t path[MAX_PATH] = {};
            if (wcscpy_s(path, folder) == 0 && QocPathCatW(path, kOutlookName, MAX_PATH)) {
                RecordOutlook(path);
                g_fFound = 1;
            }
        }
    } while (!g_fFound && _wfindnext64i32(search, &entry) == 0);
    _findclose(search);
}

// Searches the folders of root whose names begin with "Microsoft Office".
static void SearchRoot(const wchar_t* root)
{
    _wfinddata64i32_t entry;
    intptr_t search = FindFirstInFolder(root, &entry);
    if (search == -1)
        return;
    do {
        // A shorter name differs at its terminator, so it never matches.
        if (IsDirectory(entry) && _wcsnicmp(entry.name, kOfficePrefix, kOfficePrefixLen) == 0) {
            wchar_t folder[MAX_PATH];
            if (wcscpy_s(folder, root) == 0 && QocPathCatW(folder, entry.name, MAX_PATH))
                SearchOutlook(folder);
        }
    } while (_wfindnext64i32(search, &entry) == 0);
    _findclose(search);
}

// Text of the context-menu entry: English, Japanese.
static const wchar_t* const kMenuText[] = {L"Divide with Sundrel", L"Sundrelで分割"};
static const LANGID kJapanese = 1041;

// The ".divide" file type and the context-menu entry of every file start
// Sundrel.exe beside the installer with the same command line. It quotes the
// program and the file: unquoted, a program under "C:\Program Files" lets
// Windows try "C:\Program" first, and a file whose path holds a blank
// arrives as several arguments.
static void RegisterCommands()
{
    wchar_t program[MAX_PATH];
    if (!QocGetAppPathW(program, MAX_PATH) || !QocPathCatW(program, L"Sundrel.exe", MAX_PATH))
        return;
    wchar_t open[MAX_PATH + 8];
    if (QocSnPrintFW(open, ARRAYSIZE(open), L"\"%s\" \"%%1\"", program) < 0)
        return;
    wchar_t command[kShellCommandSize] = {};
    if (QocSnPrintFW(command, kShellCommandSize, L"ftype QorSundrel=%s", open) >= 0) {
        RunShellCommand(command);
        RunShellCommand(L"assoc .divide=QorSundrel");
    }
    WriteContextMenuEntry(kMenuText[QocGetLangId() == kJapanese], open);
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    QocSetRegTopKey(HKEY_LOCAL_MACHINE);

    wchar_t drive[3] = {};
    GetEnvironmentVariableW(L"SystemDrive", drive, 3);
    const wchar_t* const rootFormats[] = {L"%s\\Program Files", L"%s\\Program Files (x86)"};
    for (const wchar_t* format : rootFormats) {
        wchar_t root[MAX_PATH];
        if (QocSnPrintFW(root, MAX_PATH, format, drive) >= 0)
            SearchRoot(root);
    }

    RegisterCommands();
    return 0;
}

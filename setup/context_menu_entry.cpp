#include "context_menu_entry.h"

#include <wchar.h>

// Under HKEY_LOCAL_MACHINE: the verb's text is the key's default value, its
// command line that of the subkey "command".
static const wchar_t kContextMenuKey[] = L"Software\\Classes\\*\\shell\\SundrelDivide";

static bool SetDefaultString(HKEY key, const wchar_t* value)
{
    DWORD bytes = (DWORD)((wcslen(value) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, nullptr, 0, REG_SZ, (const BYTE*)value, bytes) == ERROR_SUCCESS;
}

static bool CreateKey(HKEY parent, const wchar_t* name, HKEY* key)
{
    return RegCreateKeyExW(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, key,
                           nullptr) == ERROR_SUCCESS;
}

void WriteContextMenuEntry(const wchar_t* text, const wchar_t* command)
{
    // The command first: a verb with a text but no command would be shown
    // and do nothing.
    HKEY verb, commandKey;
    bool ok = CreateKey(HKEY_LOCAL_MACHINE, kContextMenuKey, &verb);
    if (ok) {
        ok = CreateKey(verb, L"command", &commandKey);
        if (ok) {
            ok = SetDefaultString(commandKey, command);
            RegCloseKey(commandKey);
        }
        ok = ok && SetDefaultString(verb, text);
        RegCloseKey(verb);
    }
    if (!ok)
        RemoveContextMenuEntry();
}

void RemoveContextMenuEntry()
{
    // RegDeleteTreeW empties the key and deletes it.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kContextMenuKey);
}

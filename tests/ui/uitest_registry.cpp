// The programs' registry keys, set and cleared by the UI tests; see uitest.h.
#include "uitest.h"

#include <gtest/gtest.h>

namespace {

std::wstring KeyPath(const wchar_t* section)
{
    std::wstring key = QOC_PROFILE_KEY;
    if (section && *section) key += std::wstring(L"\\") + section;
    return key;
}

bool SetValue(HKEY root, const std::wstring& key, const wchar_t* name, DWORD type,
              const void* data, DWORD size)
{
    HKEY handle;
    LSTATUS status = RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                     &handle, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(handle);
    }
    if (status != ERROR_SUCCESS)
        ADD_FAILURE() << "cannot set registry value " << UiToUtf8(key) << "\\" << UiToUtf8(name)
                      << ": error " << status;
    return status == ERROR_SUCCESS;
}

bool GetString(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring* value)
{
    DWORD size = 0;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return false;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, &text[0], &size) !=
        ERROR_SUCCESS)
        return false;
    text.resize(wcslen(text.c_str()));
    *value = text;
    return true;
}

bool DeleteTree(HKEY root, const wchar_t* key)
{
    LSTATUS status = RegDeleteTreeW(root, key);
    if (status == ERROR_SUCCESS) status = RegDeleteKeyW(root, key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        ADD_FAILURE() << "cannot delete registry key " << UiToUtf8(key) << ": error " << status;
        return false;
    }
    return true;
}

} // namespace

// ---------------------------------------------------------------- registry

bool UiRegSetDword(const wchar_t* name, DWORD value, const wchar_t* section)
{
    return SetValue(HKEY_CURRENT_USER, KeyPath(section), name, REG_DWORD, &value, sizeof value);
}

bool UiRegSetString(const wchar_t* name, const std::wstring& value, const wchar_t* section)
{
    return SetValue(HKEY_CURRENT_USER, KeyPath(section), name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool UiRegGetDword(const wchar_t* name, DWORD* value, const wchar_t* section)
{
    DWORD size = sizeof *value;
    return RegGetValueW(HKEY_CURRENT_USER, KeyPath(section).c_str(), name, RRF_RT_REG_DWORD,
                        nullptr, value, &size) == ERROR_SUCCESS;
}

bool UiRegGetString(const wchar_t* name, std::wstring* value, const wchar_t* section)
{
    return GetString(HKEY_CURRENT_USER, KeyPath(section), name, value);
}

bool UiRegDeleteValue(const wchar_t* name, const wchar_t* section)
{
    LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, KeyPath(section).c_str(), name);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool UiRegResetUser() { return DeleteTree(HKEY_CURRENT_USER, QOC_PROFILE_KEY); }

bool UiRegSetMachineString(const wchar_t* name, const std::wstring& value)
{
    return SetValue(HKEY_LOCAL_MACHINE, KeyPath(QOC_SETTING_SECTION), name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool UiRegGetMachineString(const wchar_t* name, std::wstring* value)
{
    return GetString(HKEY_LOCAL_MACHINE, KeyPath(QOC_SETTING_SECTION), name, value);
}

bool UiRegResetMachine() { return DeleteTree(HKEY_LOCAL_MACHINE, QOC_PROFILE_KEY); }

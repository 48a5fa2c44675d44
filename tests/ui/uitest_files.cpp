// Files and folders of the UI tests; see uitest.h.
#include "uitest.h"

#include <gtest/gtest.h>

#include <algorithm>

// ---------------------------------------------------------------- files

std::wstring UiJoin(const std::wstring& folder, const std::wstring& name)
{
    if (folder.empty()) return name;
    wchar_t last = folder.back();
    return (last == L'\\' || last == L'/') ? folder + name : folder + L"\\" + name;
}

std::wstring UiMakeTempDir(const wchar_t* prefix)
{
    wchar_t temp[MAX_PATH];
    DWORD len = GetTempPathW(MAX_PATH, temp);
    if (len == 0 || len >= MAX_PATH) {
        ADD_FAILURE() << "no temporary folder";
        return L"";
    }
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring path = UiJoin(temp, std::wstring(prefix) + L"-" +
                                             std::to_wstring(GetCurrentProcessId()) + L"-" +
                                             std::to_wstring(++counter));
        if (CreateDirectoryW(path.c_str(), nullptr)) return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    ADD_FAILURE() << UiToUtf8(UiErrorText(L"cannot create a temporary folder"));
    return L"";
}

bool UiWriteFile(const std::wstring& path, uint64_t size, uint32_t seed)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << UiToUtf8(UiErrorText(L"cannot create", path));
        return false;
    }
    // xorshift32: cheap, and every seed gives its own byte sequence.
    uint32_t state = seed ? seed : 0x9E3779B9u;
    std::vector<unsigned char> buffer(1 << 16);
    bool ok = true;
    for (uint64_t left = size; left > 0 && ok;) {
        size_t chunk = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
        for (size_t i = 0; i < chunk; ++i) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            buffer[i] = static_cast<unsigned char>(state >> 24);
        }
        DWORD written = 0;
        ok = WriteFile(file, buffer.data(), static_cast<DWORD>(chunk), &written, nullptr) &&
             written == chunk;
        left -= chunk;
    }
    CloseHandle(file);
    if (!ok) ADD_FAILURE() << UiToUtf8(UiErrorText(L"cannot write", path));
    return ok;
}

bool UiWriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!ok) ADD_FAILURE() << UiToUtf8(UiErrorText(L"cannot write", path));
    return ok;
}

bool UiReadFile(const std::wstring& path, std::string* bytes)
{
    bytes->clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[1 << 16];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0)
        bytes->append(buffer, got);
    CloseHandle(file);
    return ok;
}

bool UiFileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool UiDirExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int64_t UiFileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::wstring> UiListFiles(const std::wstring& folder, const wchar_t* pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(UiJoin(folder, pattern).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(search, &data));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool UiRemoveTree(const std::wstring& folder)
{
    if (folder.empty() || !UiDirExists(folder)) return true;
    bool ok = true;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(UiJoin(folder, L"*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = UiJoin(folder, name);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                ok = UiRemoveTree(path) && ok;
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ok = DeleteFileW(path.c_str()) && ok;
            }
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    ok = RemoveDirectoryW(folder.c_str()) && ok;
    if (!ok) ADD_FAILURE() << UiToUtf8(UiErrorText(L"cannot remove", folder));
    return ok;
}

std::wstring UiFromUtf8(const std::string& text)
{
    if (text.empty()) return L"";
    int len = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(len, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], len);
    return wide;
}

std::string UiToUtf8(const std::wstring& text)
{
    if (text.empty()) return "";
    int len = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                  0, nullptr, nullptr);
    std::string narrow(len, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], len,
                        nullptr, nullptr);
    return narrow;
}

std::vector<std::wstring> UiReadLines(const std::wstring& path)
{
    std::vector<std::wstring> lines;
    std::string bytes;
    if (!UiReadFile(path, &bytes)) return lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(UiFromUtf8(line));
        start = end + 1;
    }
    return lines;
}

std::vector<std::wstring> UiReadOutlookStarts(const std::wstring& log)
{
    const size_t kStampLen = 17;   // creation time in 16 hex digits, a blank
    std::vector<std::wstring> lines = UiReadLines(log);
    std::stable_sort(lines.begin(), lines.end(), [&](const std::wstring& a, const std::wstring& b) {
        return a.compare(0, kStampLen, b, 0, kStampLen) < 0;
    });
    for (std::wstring& line : lines)
        line.erase(0, std::min(kStampLen, line.size()));
    return lines;
}

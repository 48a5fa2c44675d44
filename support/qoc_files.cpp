// Paths, file facts and version resources.
#include "qoc.h"

#include <string.h>
#include <wchar.h>

#include <new>
#include <vector>

static bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// Copies text into out, cut at size; FALSE when cut.
static BOOL CopyBounded(wchar_t* out, size_t size, const wchar_t* text, size_t len)
{
    if (out == nullptr || size == 0) return FALSE;
    size_t copied = len < size ? len : size - 1;
    memcpy(out, text, copied * sizeof(wchar_t));
    out[copied] = L'\0';
    return copied == len;
}

BOOL QocPathCatW(wchar_t* path, const wchar_t* part, size_t size)
{
    if (path == nullptr || size == 0) return FALSE;
    size_t len = wcsnlen(path, size);
    if (len == size) return FALSE;
    if (part == nullptr) part = L"";
    while (IsSeparator(*part)) ++part;
    size_t partLen = wcslen(part);
    // An empty path stays relative: the part alone, without a leading backslash.
    bool addSeparator = len > 0 && !IsSeparator(path[len - 1]);
    size_t total = len + (addSeparator ? 1 : 0) + partLen;
    if (total >= size) return FALSE;
    if (addSeparator) path[len++] = L'\\';
    memcpy(path + len, part, partLen * sizeof(wchar_t));
    path[total] = L'\0';
    return TRUE;
}

BOOL QocPathIsFileW(const wchar_t* path)
{
    if (path == nullptr || *path == L'\0') return FALSE;
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL QocPathIsDirectoryW(const wchar_t* path)
{
    if (path == nullptr || *path == L'\0') return FALSE;
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint64_t QocGetFileSizeW(const wchar_t* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path == nullptr || !GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return 0;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    return ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

BOOL QocGetAppPathW(wchar_t* out, size_t size)
{
    if (out == nullptr || size == 0) return FALSE;
    out[0] = L'\0';
    std::vector<wchar_t> module(MAX_PATH);
    for (;;) {
        DWORD len = GetModuleFileNameW(nullptr, module.data(), (DWORD)module.size());
        if (len == 0) return FALSE;
        if (len < module.size()) break;
        if (module.size() >= 32768) return FALSE;
        module.resize(module.size() * 2);
    }
    wchar_t* name = wcsrchr(module.data(), L'\\');
    if (name == nullptr) return FALSE;
    *name = L'\0';
    return CopyBounded(out, size, module.data(), wcslen(module.data()));
}

// Reads a string of a version block, trying the block's first translation and
// then the usual US English ones. The block must be writable.
static BOOL QueryVersionString(void* block, const wchar_t* name, wchar_t* out, size_t size)
{
    DWORD languages[3] = {0, 0x040904b0, 0x040904e4};
    int first = 1;
    WORD* translation = nullptr;
    UINT translationBytes = 0;
    if (VerQueryValueW(block, L"\\VarFileInfo\\Translation", (void**)&translation, &translationBytes) &&
        translation != nullptr && translationBytes >= 2 * sizeof(WORD)) {
        languages[0] = ((DWORD)translation[0] << 16) | translation[1];
        first = 0;
    }
    for (int i = first; i < 3; ++i) {
        wchar_t query[128];
        if (QocSnPrintFW(query, 128, L"\\StringFileInfo\\%08lx\\%s", (unsigned long)languages[i], name) < 0)
            return FALSE;
        wchar_t* value = nullptr;
        UINT valueLen = 0;
        if (VerQueryValueW(block, query, (void**)&value, &valueLen) && value != nullptr && valueLen > 0)
            return CopyBounded(out, size, value, wcsnlen(value, valueLen));
    }
    return FALSE;
}

BOOL QocGetVerInfoW(const wchar_t* file, const wchar_t* name, wchar_t* out, size_t size)
{
    if (out == nullptr || size == 0) return FALSE;
    out[0] = L'\0';
    if (file == nullptr || name == nullptr) return FALSE;
    DWORD handle = 0;
    DWORD bytes = GetFileVersionInfoSizeW(file, &handle);
    if (bytes == 0) return FALSE;
    try {
        std::vector<BYTE> block(bytes);
        if (!GetFileVersionInfoW(file, 0, bytes, block.data())) return FALSE;
        return QueryVersionString(block.data(), name, out, size);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

BOOL QocGetVerInResW(HINSTANCE instance, wchar_t* out, size_t size)
{
    if (out == nullptr || size == 0) return FALSE;
    out[0] = L'\0';
    if (instance == nullptr) instance = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    if (resource == nullptr) return FALSE;
    HGLOBAL loaded = LoadResource(instance, resource);
    DWORD bytes = SizeofResource(instance, resource);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr || bytes == 0) return FALSE;
    try {
        // VerQueryValueW may write into the block; the resource is read-only.
        // The extra room is what GetFileVersionInfoW would add for that.
        std::vector<BYTE> block(bytes * 2);
        memcpy(block.data(), data, bytes);
        return QueryVersionString(block.data(), L"FileVersion", out, size);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

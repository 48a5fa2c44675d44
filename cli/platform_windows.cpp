// The system layer on Windows: wide-character paths in their \\?\ form,
// file handles, the console and its Ctrl-C handler.
#include "platform.h"

#include <windows.h>
#include <shellapi.h>

#include <ctime>

#include "qoc_shared.h"

namespace sundrel::cli {

namespace {

// The exit code of the first console event: Ctrl-C and Ctrl-Break as
// SIGINT, closing the console, logging off or shutting down as SIGTERM.
volatile LONG g_exitCode = 0;

BOOL WINAPI OnConsoleControl(DWORD event)
{
    LONG code = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? 130 : 143;
    InterlockedCompareExchange(&g_exitCode, code, 0);
    return TRUE;
}

std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &wide[0], n);
    return wide;
}

std::string Utf8(const wchar_t* text, size_t length)
{
    if (length == 0)
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, int(length), &utf8[0], n, nullptr, nullptr);
    return utf8;
}

// The full path in the form that lifts the 260-character limit.
std::wstring SystemPath(const std::string& path)
{
    std::wstring wide = Wide(path);
    if (wide.rfind(L"\\\\?\\", 0) == 0)
        return wide;
    DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return wide;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(wide.c_str(), n, &full[0], nullptr);
    full.resize(n);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::string ErrorText(DWORD code)
{
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    while (n > 0 && (text[n - 1] == L'\n' || text[n - 1] == L'\r' || text[n - 1] == L'.'))
        --n;
    std::string utf8 = n ? Utf8(text, n) : "error " + std::to_string(code);
    LocalFree(text);
    return utf8;
}

StampTime StampOf(const SYSTEMTIME& t)
{
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

bool WriteHandle(DWORD which, const std::string& text)
{
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode)) {
        std::wstring wide = Wide(text);
        return text.empty() ||
               WriteConsoleW(handle, wide.data(), DWORD(wide.size()), &written, nullptr);
    }
    for (size_t done = 0; done < text.size(); done += written)
        if (!WriteFile(handle, text.data() + done, DWORD(text.size() - done), &written, nullptr) ||
            written == 0)
            return false;
    return true;
}

}  // namespace

File::~File()
{
    if (IsOpen())
        CloseHandle(handle_);
}

void File::NoteError()
{
    error_ = ErrorText(GetLastError());
}

bool File::OpenForReading(const std::string& path)
{
    handle_ = CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (!IsOpen()) {
        NoteError();
        return false;
    }
    return true;
}

bool File::CreateNew(const std::string& path, const std::string& likeFile)
{
    DWORD attributes = QocCreationAttributes(GetFileAttributesW(SystemPath(likeFile).c_str()));
    handle_ = CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          attributes, nullptr);
    if (!IsOpen()) {
        NoteError();
        return false;
    }
    return true;
}

bool File::Read(void* buffer, size_t n, size_t* got)
{
    DWORD read = 0;
    if (!ReadFile(handle_, buffer, DWORD(n), &read, nullptr)) {
        NoteError();
        *got = 0;
        return false;
    }
    *got = read;
    return true;
}

bool File::ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got)
{
    *got = 0;
    while (*got < n) {
        OVERLAPPED at = {};
        uint64_t position = offset + *got;
        at.Offset = DWORD(position);
        at.OffsetHigh = DWORD(position >> 32);
        DWORD read = 0, want = DWORD(n - *got > 0x40000000 ? 0x40000000 : n - *got);
        if (!ReadFile(handle_, static_cast<char*>(buffer) + *got, want, &read, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            NoteError();
            return false;
        }
        if (read == 0)
            break;
        *got += read;
    }
    return true;
}

bool File::Truncate()
{
    LARGE_INTEGER start = {};
    if (SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN) && SetEndOfFile(handle_))
        return true;
    NoteError();
    return false;
}

bool File::WriteAll(const void* data, size_t n)
{
    const char* bytes = static_cast<const char*>(data);
    while (n > 0) {
        DWORD written = 0;
        if (!WriteFile(handle_, bytes, DWORD(n), &written, nullptr) || written == 0) {
            NoteError();
            return false;
        }
        bytes += written;
        n -= written;
    }
    return true;
}

bool File::Sync()
{
    if (FlushFileBuffers(handle_))
        return true;
    NoteError();
    return false;
}

bool File::Size(uint64_t* size)
{
    LARGE_INTEGER length;
    if (!GetFileSizeEx(handle_, &length)) {
        NoteError();
        return false;
    }
    *size = uint64_t(length.QuadPart);
    return true;
}

bool File::Close()
{
    if (!IsOpen())
        return true;
    BOOL ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    if (!ok)
        NoteError();
    return ok != FALSE;
}

bool File::IsOpen() const
{
    return handle_ != INVALID_HANDLE_VALUE;
}

PathKind KindOf(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return PathKind::Folder;
    return attributes & FILE_ATTRIBUTE_DEVICE ? PathKind::Other : PathKind::File;
}

bool ListFiles(const std::string& folder, std::vector<std::string>* names, std::string* error)
{
    std::wstring pattern = SystemPath(folder);
    if (pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND)
            return true;
        *error = ErrorText(code);
        return false;
    }
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
            names->push_back(Utf8(found.cFileName, wcslen(found.cFileName)));
    } while (FindNextFileW(search, &found));
    DWORD code = GetLastError();
    FindClose(search);
    if (code != ERROR_NO_MORE_FILES) {
        *error = ErrorText(code);
        return false;
    }
    return true;
}

bool RemoveFile(const std::string& path)
{
    std::wstring wide = SystemPath(path);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(wide.c_str()) != FALSE;
}

bool RenameOver(const std::string& from, const std::string& to, std::string* error)
{
    std::wstring target = SystemPath(to);
    // A read-only piece of an earlier division is replaced like any other.
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(target.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    if (MoveFileExW(SystemPath(from).c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *error = ErrorText(GetLastError());
    return false;
}

bool SyncFolder(const std::string&, std::string*)
{
    // Renames were written through (MOVEFILE_WRITE_THROUGH).
    return true;
}

bool SameFile(const std::string& a, const std::string& b)
{
    // Within one folder, as NTFS compares names: ignoring case.
    std::wstring wa = Wide(a), wb = Wide(b);
    return CompareStringOrdinal(wa.data(), int(wa.size()), wb.data(), int(wb.size()), TRUE) ==
           CSTR_EQUAL;
}

std::string CanonicalFolder(const std::string& folder)
{
    std::wstring full = SystemPath(folder);
    return Utf8(full.data(), full.size());
}

unsigned ProcessId()
{
    return unsigned(GetCurrentProcessId());
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    bool root = slash == 0 || (slash == 2 && path[1] == ':');
    return path.substr(0, root ? slash + 1 : slash);
}

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(2) : path;
    return path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder == ".")
        return name;
    char last = folder.back();
    return last == '\\' || last == '/' || last == ':' ? folder + name : folder + "\\" + name;
}

uint32_t SecondsSince1970()
{
    return uint32_t(time(nullptr));
}

StampTime LocalTimeNow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return StampOf(now);
}

StampTime UtcTimeOf(uint32_t secondsSince1970)
{
    // FILETIME counts 100 ns from 1601; 1970 is 11644473600 s later.
    ULARGE_INTEGER ticks;
    ticks.QuadPart = (uint64_t(secondsSince1970) + 11644473600ull) * 10000000ull;
    FILETIME file = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME t = {};
    FileTimeToSystemTime(&file, &t);
    return StampOf(t);
}

bool UserWantsJapanese()
{
    return GetUserDefaultUILanguage() == QOC_LANG_JAPANESE;
}

bool StderrIsTerminal()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}

bool WriteStdout(const std::string& text, std::string* error)
{
    if (WriteHandle(STD_OUTPUT_HANDLE, text))
        return true;
    *error = ErrorText(GetLastError());
    return false;
}

void WriteStderr(const std::string& text)
{
    WriteHandle(STD_ERROR_HANDLE, text);
}

void WatchInterrupts()
{
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool Interrupted()
{
    return InterruptExitCode() != 0;
}

int InterruptExitCode()
{
    return int(InterlockedCompareExchange(&g_exitCode, 0, 0));
}

std::vector<std::string> Arguments(int, char**)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i)
        args.push_back(Utf8(wide[i], wcslen(wide[i])));
    LocalFree(wide);
    return args;
}

}  // namespace sundrel::cli

#include "handle_random.h"

bool HandleRandomSource::ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got)
{
    *got = 0;
    // One ReadFile takes a DWORD; the callers read a few MiB at most.
    DWORD want = n > MAXDWORD ? MAXDWORD : (DWORD)n;
    OVERLAPPED at = {};
    at.Offset = (DWORD)offset;
    at.OffsetHigh = (DWORD)(offset >> 32);
    DWORD read = 0;
    if (!ReadFile(file_, buffer, want, &read, &at))
        return GetLastError() == ERROR_HANDLE_EOF;   // at or past the end: nothing more
    *got = read;
    return true;
}

bool HandleRandomSource::Size(uint64_t* size)
{
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file_, &length))
        return false;
    *size = (uint64_t)length.QuadPart;
    return true;
}

bool HandleRestartableSink::Write(const void* data, size_t n)
{
    DWORD written = 0;
    return WriteFile(file_, data, (DWORD)n, &written, nullptr) && written == n;
}

bool HandleRestartableSink::Restart()
{
    LARGE_INTEGER start = {};
    return SetFilePointerEx(file_, start, nullptr, FILE_BEGIN) && SetEndOfFile(file_);
}

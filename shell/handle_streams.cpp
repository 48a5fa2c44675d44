#include "handle_streams.h"

bool HandleSource::Read(void* buffer, size_t n, size_t* got)
{
    DWORD read = 0;
    BOOL ok = ReadFile(file_, buffer, (DWORD)n, &read, nullptr);
    *got = read;
    return ok != FALSE;
}

bool HandleSink::Write(const void* data, size_t n)
{
    DWORD written = 0;
    return WriteFile(file_, data, (DWORD)n, &written, nullptr) && written == n;
}

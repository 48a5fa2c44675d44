// Time stamps counted from 1970.
#include "qoc.h"

uint32_t QocSysTimeToTime1970(const SYSTEMTIME* utc)
{
    // 100-nanosecond ticks between 1601-01-01 and 1970-01-01.
    const uint64_t kEpoch1970 = 116444736000000000ULL;
    const uint64_t kTicksPerSecond = 10000000ULL;
    FILETIME fileTime;
    if (utc == nullptr || !SystemTimeToFileTime(utc, &fileTime)) return 0;
    uint64_t ticks = ((uint64_t)fileTime.dwHighDateTime << 32) | fileTime.dwLowDateTime;
    if (ticks < kEpoch1970) return 0;
    uint64_t seconds = (ticks - kEpoch1970) / kTicksPerSecond;
    // Beyond 2106 the count no longer fits; it stays at the last second.
    return seconds > UINT32_MAX ? UINT32_MAX : (uint32_t)seconds;
}

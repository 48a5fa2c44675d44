#include <gtest/gtest.h>

#include "qoc.h"

namespace {

uint32_t Seconds(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME utc = {};
    utc.wYear = year;
    utc.wMonth = month;
    utc.wDay = day;
    utc.wHour = hour;
    utc.wMinute = minute;
    utc.wSecond = second;
    utc.wMilliseconds = 999;   // whole seconds only
    return QocSysTimeToTime1970(&utc);
}

TEST(SupportTime, SecondsSince1970)
{
    EXPECT_EQ(Seconds(1970, 1, 1, 0, 0, 0), 0u);
    EXPECT_EQ(Seconds(2026, 12, 6, 15, 43, 30), 1796571810u);
    EXPECT_EQ(Seconds(2000, 2, 29, 0, 0, 1), 951782401u);
    EXPECT_EQ(Seconds(2106, 2, 7, 6, 28, 15), 4294967295u);
}

TEST(SupportTime, OutsideTheRangeSaturates)
{
    EXPECT_EQ(Seconds(1969, 12, 31, 23, 59, 59), 0u);
    EXPECT_EQ(Seconds(2200, 1, 1, 0, 0, 0), 4294967295u);
    EXPECT_EQ(Seconds(2026, 13, 1, 0, 0, 0), 0u);     // not a date
}

}  // namespace

#include <gtest/gtest.h>

#include <limits.h>
#include <wchar.h>

#include "qoc.h"

namespace {

// A text buffer whose characters past `size` must stay untouched.
struct Guarded {
    static const size_t kTotal = 64;
    wchar_t chars[kTotal];
    size_t size;
    explicit Guarded(size_t usable, const wchar_t* initial = L"") : size(usable)
    {
        wmemset(chars, L'#', kTotal);
        wcsncpy(chars, initial, usable);
    }
    bool GuardIntact() const
    {
        for (size_t i = size; i < kTotal; ++i)
            if (chars[i] != L'#') return false;
        return true;
    }
};

TEST(SupportText, SnPrintFFormatsWideTextsAndNumbers)
{
    Guarded buf(40);
    EXPECT_EQ(QocSnPrintFW(buf.chars, buf.size, L"%s%s(%02d_of_%02d).divide", L"C:\\x\\", L"a.pdf", 1, 3),
              27);
    EXPECT_STREQ(buf.chars, L"C:\\x\\a.pdf(01_of_03).divide");
    EXPECT_TRUE(buf.GuardIntact());
}

TEST(SupportText, SnPrintFCutsAtSizeAndTerminates)
{
    Guarded exact(6);
    EXPECT_EQ(QocSnPrintFW(exact.chars, exact.size, L"%s", L"abcde"), 5);
    EXPECT_STREQ(exact.chars, L"abcde");
    EXPECT_TRUE(exact.GuardIntact());

    Guarded cut(6);
    EXPECT_EQ(QocSnPrintFW(cut.chars, cut.size, L"%s", L"abcdef"), -1);
    EXPECT_STREQ(cut.chars, L"abcde");
    EXPECT_TRUE(cut.GuardIntact());

    Guarded one(1, L"");
    EXPECT_EQ(QocSnPrintFW(one.chars, one.size, L"x"), -1);
    EXPECT_EQ(one.chars[0], L'\0');
    EXPECT_TRUE(one.GuardIntact());
}

TEST(SupportText, StrCatAppendsOrCuts)
{
    Guarded buf(8, L"abc");
    EXPECT_TRUE(QocStrCatW(buf.chars, buf.size, L"defg"));
    EXPECT_STREQ(buf.chars, L"abcdefg");
    EXPECT_FALSE(QocStrCatW(buf.chars, buf.size, L"h"));
    EXPECT_STREQ(buf.chars, L"abcdefg");

    Guarded cut(6, L"ab");
    EXPECT_FALSE(QocStrCatW(cut.chars, cut.size, L"cdefgh"));
    EXPECT_STREQ(cut.chars, L"abcde");
    EXPECT_TRUE(cut.GuardIntact());
}

TEST(SupportText, StrIStrIgnoresCase)
{
    const wchar_t* subject = L"Piece &n& of all";
    EXPECT_EQ(QocStrIStrW(subject, L"&N&"), subject + 6);
    EXPECT_EQ(QocStrIStrW(L"ÄBC", L"äb") != nullptr, true);
    EXPECT_EQ(QocStrIStrW(subject, L"&x&"), nullptr);
    EXPECT_EQ(QocStrIStrW(L"ab", L"abc"), nullptr);
    EXPECT_EQ(QocStrIStrW(subject, L""), subject);
}

TEST(SupportText, RepPartStrReplacesWithinSize)
{
    Guarded grow(32, L"Part &N& sent");
    EXPECT_TRUE(QocRepPartStrW(grow.chars, grow.size, 5, 3, L"2 / 10", 6));
    EXPECT_STREQ(grow.chars, L"Part 2 / 10 sent");

    Guarded shrink(32, L"a b");
    EXPECT_TRUE(QocRepPartStrW(shrink.chars, shrink.size, 1, 1, L"%20xyz", 3));
    EXPECT_STREQ(shrink.chars, L"a%20b");
    EXPECT_TRUE(QocRepPartStrW(shrink.chars, shrink.size, 0, 2, L"", 0));
    EXPECT_STREQ(shrink.chars, L"20b");
}

TEST(SupportText, RepPartStrRemovesEvenWhenCut)
{
    Guarded full(8, L"ab cdef");
    EXPECT_FALSE(QocRepPartStrW(full.chars, full.size, 2, 1, L"%20", 3));
    EXPECT_STREQ(full.chars, L"ab%20cd");
    EXPECT_TRUE(full.GuardIntact());

    // A replace-until-gone loop on a full buffer comes to an end.
    Guarded spaces(10, L"a b c d e");
    int rounds = 0;
    for (wchar_t* blank; (blank = wcschr(spaces.chars, L' ')) != nullptr && rounds < 20; ++rounds)
        QocRepPartStrW(spaces.chars, spaces.size, blank - spaces.chars, 1, L"%20", 3);
    EXPECT_LT(rounds, 20);
    EXPECT_EQ(wcschr(spaces.chars, L' '), nullptr);
    EXPECT_EQ(wcslen(spaces.chars), 9u);
    EXPECT_TRUE(spaces.GuardIntact());
}

TEST(SupportText, AscToIntReadsLeadingAsciiDigits)
{
    EXPECT_EQ(QocAscToIntW(L"03)"), 3);
    EXPECT_EQ(QocAscToIntW(L"42"), 42);
    EXPECT_EQ(QocAscToIntW(L"x1"), 0);
    EXPECT_EQ(QocAscToIntW(L""), 0);
    EXPECT_EQ(QocAscToIntW(L"\xFF10\xFF13)"), 0);     // fullwidth digits
    EXPECT_EQ(QocAscToIntW(L"\x00B2\x00B3"), 0);      // superscripts
    EXPECT_EQ(QocAscToIntW(L"2147483647"), INT_MAX);
    EXPECT_EQ(QocAscToIntW(L"99999999999999"), INT_MAX);
}

}  // namespace

#include <gtest/gtest.h>

#include <windows.h>
#include <wchar.h>

#include <string>

#include "mail_params.h"

namespace {

std::wstring Rewrite(const wchar_t* typed, unsigned number, unsigned count)
{
    wchar_t subject[kMailTextSize];
    wcscpy_s(subject, typed);
    RewriteMailSubject(subject, kMailTextSize, number, count);
    return subject;
}

// The rewriting itself is the piece format's (tests/core); here its bound.
TEST(MailSubject, ShortSubjectIsRewrittenWhole)
{
    EXPECT_EQ(L"Report%20(2%20/%203)", Rewrite(L"Report (&N&)", 2, 3));
}

TEST(MailSubject, StaysWithinItsBuffer)
{
    // 511 spaces would need 1533 characters: the result is cut, terminated,
    // and the guard behind the buffer stays.
    wchar_t buffer[kMailTextSize + 8];
    wmemset(buffer, L'#', kMailTextSize + 8);
    wmemset(buffer, L' ', kMailTextSize - 1);
    buffer[kMailTextSize - 1] = L'\0';
    RewriteMailSubject(buffer, kMailTextSize, 1, 2);
    EXPECT_LT(wcsnlen(buffer, kMailTextSize), kMailTextSize);
    EXPECT_EQ(nullptr, wcschr(buffer, L' '));
    EXPECT_EQ(0, wcsncmp(buffer, L"%20%20", 6));
    for (size_t i = kMailTextSize; i < kMailTextSize + 8; ++i)
        EXPECT_EQ(L'#', buffer[i]);
}

TEST(MailSubject, ParametersOfBothForms)
{
    wchar_t params[kMailParamsSize];
    ASSERT_TRUE(FormatMailParams(params, kMailParamsSize, L"team", L"Report%20(2%20/%203)",
                                 L"C:\\My Files\\report.pdf(02_of_03).divide", true));
    EXPECT_STREQ(L"/c ipm.note /m \"team?subject=Report%20(2%20/%203)\" "
                 L"/a \"C:\\My Files\\report.pdf(02_of_03).divide\"",
                 params);
    ASSERT_TRUE(FormatMailParams(params, kMailParamsSize, L"a b@example.com", L"", L"C:\\x.divide",
                                 false));
    EXPECT_STREQ(L"/c ipm.note /m \"a b@example.com&subject=\" /a \"C:\\x.divide\"", params);
}

TEST(MailSubject, LongestFieldsFit)
{
    const std::wstring recipient(kMailTextSize - 1, L'r');
    const std::wstring subject(kMailTextSize - 1, L's');
    const std::wstring path(MAX_PATH - 1, L'p');
    wchar_t params[kMailParamsSize];
    ASSERT_TRUE(FormatMailParams(params, kMailParamsSize, recipient.c_str(), subject.c_str(),
                                 path.c_str(), true));
    EXPECT_EQ(path + L"\"", std::wstring(params + wcslen(params) - path.size() - 1));
    wchar_t small[64];
    EXPECT_FALSE(FormatMailParams(small, 64, recipient.c_str(), L"", L"p", false));
}

}  // namespace

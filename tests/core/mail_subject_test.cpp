#include <gtest/gtest.h>

#include <string>

#include "mail_subject.h"

namespace sundrel {
namespace {

TEST(MailSubject, EveryNumberTagThenEverySpace)
{
    const struct {
        const wchar_t* typed;
        unsigned number, count;
        const wchar_t* sent;
    } rows[] = {
        {L"Report (&N&)", 2, 3, L"Report%20(2%20/%203)"},
        {L"&n& part", 1, 2, L"1%20/%202%20part"},
        {L"Minutes", 1, 3, L"Minutes"},
        {L"Minutes", 3, 3, L"Minutes"},
        {L"", 1, 1, L""},
        {L"&N&", 1, 1, L"1%20/%201"},
        {L"&N&", 12, 99, L"12%20/%2099"},
        {L"&N&-&n&", 2, 3, L"2%20/%203-2%20/%203"},
        {L"  a  ", 1, 2, L"%20%20a%20%20"},
        // Only the tag itself goes; the "&" around it stay.
        {L"&&N&&", 1, 2, L"&1%20/%202&"},
        {L"&N", 1, 2, L"&N"},
        // Characters other than the space pass unchanged.
        {L"a&b?c%d#e =f", 1, 2, L"a&b?c%d#e%20=f"},
        {L"件名 (&N&)", 1, 2, L"件名%20(1%20/%202)"},
    };
    for (const auto& row : rows) {
        std::wstring subject = row.typed;
        RewriteMailSubject(subject, row.number, row.count);
        EXPECT_EQ(subject, row.sent);
    }
    std::string utf8 = "件名 &N&";
    RewriteMailSubject(utf8, 2, 3);
    EXPECT_EQ(utf8, "件名%202%20/%203");
}

}  // namespace
}  // namespace sundrel

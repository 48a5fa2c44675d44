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

// A recovery piece's mail: its label and its own numbering where the
// pieces' mails have theirs, spaces encoded alike.
TEST(MailSubject, RecoveryPieceTakesItsLabelAndNumber)
{
    const struct {
        const wchar_t* typed;
        const wchar_t* label;
        unsigned index, total;
        const wchar_t* sent;
    } rows[] = {
        {L"Report (&N&)", L"recovery", 1, 2, L"Report%20(recovery%201%20/%202)"},
        {L"&n&-&N&", L"修復用", 2, 2, L"修復用%202%20/%202-修復用%202%20/%202"},
        {L"Minutes", L"recovery", 1, 1, L"Minutes"},
        {L"", L"recovery", 1, 1, L""},
        {L"&N&", L"", 3, 4, L"3%20/%204"},
        // A label that holds a tag's characters makes no new tag.
        {L"&N&", L"&N", 1, 2, L"&N%201%20/%202"},
    };
    for (const auto& row : rows) {
        std::wstring subject = row.typed;
        RewriteRecoveryMailSubject<wchar_t>(subject, row.label, row.index, row.total);
        EXPECT_EQ(subject, row.sent) << row.index;
    }
    std::string utf8 = "件名 &N&";
    RewriteRecoveryMailSubject<char>(utf8, "修復用", 1, 2);
    EXPECT_EQ(utf8, "件名%20修復用%201%20/%202");
}

}  // namespace
}  // namespace sundrel

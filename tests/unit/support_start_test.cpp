#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qoc.h"

#include <shellapi.h>

namespace {

std::vector<std::wstring> Split(const wchar_t* line, int flags)
{
    int count = -1;
    wchar_t** args = QocParseCmdArgsExW(line, &count, flags);
    std::vector<std::wstring> result;
    if (args == nullptr) return {L"<null>"};
    for (int i = 0; i < count; ++i) result.push_back(args[i]);
    EXPECT_EQ(args[count], nullptr);
    QocReleaseCmdArgs(args);
    return result;
}

TEST(SupportStart, SplitsAndStripsQuotes)
{
    using V = std::vector<std::wstring>;
    EXPECT_EQ(Split(L"C:\\data\\report.pdf", 1), V({L"C:\\data\\report.pdf"}));
    EXPECT_EQ(Split(L"\"C:\\my data\\a b.pdf\" second\tthird ", 1),
              V({L"C:\\my data\\a b.pdf", L"second", L"third"}));
    EXPECT_EQ(Split(L"a\"b c\"d \"\"", 1), V({L"ab cd", L""}));
    EXPECT_EQ(Split(L"\"C:\\dir\\\\\" x", 1), V({L"C:\\dir\\", L"x"}));
    EXPECT_EQ(Split(L"\"C:\\my data\\a.pdf\" b", 0), V({L"\"C:\\my data\\a.pdf\"", L"b"}));
}

TEST(SupportStart, BlankLineHasNoArguments)
{
    EXPECT_TRUE(Split(L"", 1).empty());
    EXPECT_TRUE(Split(L"  \t ", 1).empty());
    EXPECT_TRUE(Split(nullptr, 1).empty());
}

TEST(SupportStart, AgreesWithTheSystemSplitter)
{
    const wchar_t* lines[] = {
        L"a b", L"  lead trail  ", L"\"a b\" c", L"a\\\\\"b c\" d", L"a\\\"b c", L"a\\\\\\\"b",
        L"\"a\"\"b\" c", L"\"a\"\"\"b\" c", L"\"\"\"\" x", L"\\\\server\\share\\f.txt", L"\"unclosed arg",
        L"x\"\" y", L"\"a b\\\\\" c",
    };
    for (const wchar_t* line : lines) {
        std::wstring full = std::wstring(L"prog.exe ") + line;
        int count = 0;
        wchar_t** system = CommandLineToArgvW(full.c_str(), &count);
        ASSERT_NE(system, nullptr);
        std::vector<std::wstring> expected(system + 1, system + count);
        LocalFree(system);
        EXPECT_EQ(Split(line, 1), expected) << "line: " << testing::PrintToString(std::wstring(line));
    }
}

TEST(SupportStart, LanguageIsTheUserInterfaceLanguage)
{
    EXPECT_EQ(QocGetLangId(), GetUserDefaultUILanguage());
}

}  // namespace

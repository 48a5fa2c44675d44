// Every English/Japanese text pair of cli/ takes the same printf arguments
// in the same order. The texts are found by reading the sources, so that a
// new table is covered without being registered anywhere.
#include <dirent.h>
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "cli_runner.h"

namespace sundrel::test {
namespace {

// The concatenated literals of one side of a Text initializer; PRIu64 and
// the like as the conversion letters they stand for.
std::string Literals(const std::string& source, size_t* pos)
{
    std::string text;
    size_t& i = *pos;
    for (;;) {
        while (i < source.size() && std::isspace(static_cast<unsigned char>(source[i])))
            ++i;
        if (source.compare(i, 3, "PRI") == 0) {
            size_t end = i + 3;
            while (end < source.size() && std::isalnum(static_cast<unsigned char>(source[end])))
                ++end;
            std::string macro = source.substr(i + 3, end - i - 3);   // u64, d64, x64
            text += "ll" + macro.substr(0, 1);
            i = end;
            continue;
        }
        if (i >= source.size() || source[i] != '"')
            return text;
        for (++i; i < source.size() && source[i] != '"'; ++i) {
            if (source[i] == '\\')
                text += source[i++];
            text += source[i];
        }
        ++i;
    }
}

// The conversions of a printf format: length and letter of each, in order.
std::vector<std::string> Conversions(const std::string& format)
{
    static const std::regex kConversion(R"(%[-+ #0]*(\*|[0-9]*)(\.(\*|[0-9]+))?(hh|h|ll|l|j|z|t|L)?([diouxXeEfgGaAcspn%]))");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(format.begin(), format.end(), kConversion);
         it != std::sregex_iterator(); ++it)
        if ((*it)[5] != "%")
            found.push_back(((*it)[1] == "*" ? "*" : "") + std::string((*it)[3] == "*" ? ".*" : "") +
                            (*it)[4].str() + (*it)[5].str());
    return found;
}

TEST(Texts, PairsTakeTheSameConversions)
{
    static const std::regex kTextStart(R"(\bText\s+(k\w+)\s*=\s*\{)");
    size_t texts = 0;
    DIR* dir = opendir(SUNDREL_CLI_SOURCES);
    ASSERT_NE(dir, nullptr);
    while (struct dirent* entry = readdir(dir)) {
        std::string file = entry->d_name;
        if (file.size() < 4 || (file.substr(file.size() - 4) != ".cpp" && file.substr(file.size() - 2) != ".h"))
            continue;
        std::string source = ReadFile(std::string(SUNDREL_CLI_SOURCES) + "/" + file);
        for (auto it = std::sregex_iterator(source.begin(), source.end(), kTextStart);
             it != std::sregex_iterator(); ++it) {
            size_t pos = size_t(it->position(0) + it->length(0));
            std::string en = Literals(source, &pos);
            ASSERT_EQ(source[pos], ',') << file << ": " << (*it)[1];
            ++pos;
            std::string ja = Literals(source, &pos);
            ASSERT_EQ(source.substr(pos, 1), "}") << file << ": " << (*it)[1];
            EXPECT_EQ(Conversions(en), Conversions(ja)) << file << ": " << (*it)[1] << "\n" << en << "\n" << ja;
            ++texts;
        }
    }
    closedir(dir);
    EXPECT_GT(texts, 100u);   // the scan found the tables at all
}

TEST(Texts, ConversionsAreReadAsPrintfReadsThem)
{
    EXPECT_EQ(Conversions("%s: %02u of %llu, 100%% %-5d %.*s"),
              (std::vector<std::string>{"s", "u", "llu", "d", ".*s"}));
}

}  // namespace
}  // namespace sundrel::test

// --json: one document whatever happens, names that are no UTF-8 kept in
// full, the same keys for a command in every case. (Every document the
// tests produce is also checked against the schema; see cli_runner.)
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "cli_runner.h"
#include "json.h"

namespace sundrel::test {
namespace {

TEST(Json, StringsAreValidUtf8AndNamesLossless)
{
    struct Row {
        std::string name;
        bool utf8;
        std::string json;   // as JsonObject().SetName("file", name) writes it
    } rows[] = {
        {"report.pdf", true, "{\"file\":\"report.pdf\"}"},
        {"日本語.txt", true, "{\"file\":\"日本語.txt\"}"},
        {"a\"b\\c\n\x7f", true, "{\"file\":\"a\\\"b\\\\c\\u000a\\u007f\"}"},
        {"caf\xe9.txt", false, "{\"file\":\"caf\xef\xbf\xbd.txt\",\"fileBytes\":\"636166e92e747874\"}"},
        {"\xed\xa0\x80", false, "{\"file\":\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\",\"fileBytes\":\"eda080\"}"},
        {"\xc0\xaf", false, "{\"file\":\"\xef\xbf\xbd\xef\xbf\xbd\",\"fileBytes\":\"c0af\"}"},
        {"\xf4\x90\x80\x80", false, "{\"file\":\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\",\"fileBytes\":\"f4908080\"}"},
        {"\xe3\x81", false, "{\"file\":\"\xef\xbf\xbd\xef\xbf\xbd\",\"fileBytes\":\"e381\"}"},
        {"\xf0\x9f\x98\x80", true, "{\"file\":\"\xf0\x9f\x98\x80\"}"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(cli::IsUtf8(row.name), row.utf8) << cli::HexBytes(row.name);
        EXPECT_EQ(cli::JsonObject().SetName("file", row.name).Dump(), row.json) << cli::HexBytes(row.name);
    }
}

// The keys of a document's top level, in order.
std::vector<std::string> TopKeys(const std::string& document)
{
    std::vector<std::string> keys;
    int depth = 0;
    bool inString = false;
    std::string current;
    for (size_t i = 0; i < document.size(); ++i) {
        char c = document[i];
        if (inString) {
            if (c == '\\')
                current += document[i++];
            else if (c == '"')
                inString = false;
            else
                current += c;
            continue;
        }
        if (c == '"') {
            inString = true;
            current.clear();
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
        } else if (c == ':' && depth == 1) {
            keys.push_back(current);
        }
    }
    return keys;
}

TEST(Json, OneDocumentWithTheSameKeysWhateverHappens)
{
    ScratchFolder dir;
    WriteFile(dir / "f", SampleBytes(5000, 1));
    WriteFile(dir / "caf\xe9.bin", SampleBytes(3000, 2));
    struct Row {
        std::vector<std::string> args;
        int exitCode;
    } rows[] = {
        {{"divide", "f"}, 0},
        {{"divide", "f"}, 1},                    // pieces there already
        {{"divide", "gone"}, 2},
        {{"divide"}, 2},                         // usage error
        {{"divide", "-s", "0", "f"}, 2},
        {{"divide", "caf\xe9.bin"}, 0},
        {{"verify", "caf\xe9.bin(01_of_01).divide", "f(01_of_01).divide"}, 0},
        {{"verify", "nothing(01_of_01).divide"}, 2},
        {{"verify", "--bogus", "f(01_of_01).divide"}, 2},
        {{"info", "caf\xe9.bin(01_of_01).divide"}, 0},
        {{"info", "f"}, 2},
        {{"merge", "caf\xe9.bin(01_of_01).divide", "-o", "."}, 0},
        {{"merge", "f(01_of_01).divide", "-o", "gone"}, 2},
        {{"merge"}, 2},
        {{"list"}, 0},
        {{"list", "f"}, 2},
        {{"help", "list"}, 0},
        {{"help", "x"}, 2},
        {{"--version"}, 0},
        {{"version", "x"}, 2},
        {{"nonsense"}, 2},
        {{}, 2},
    };
    std::map<std::string, std::vector<std::string>> keysOf;
    for (const Row& row : rows) {
        std::vector<std::string> args = row.args;
        args.push_back("--json");
        RunResult run = RunSundrel(dir.path(), args);
        std::string what = row.args.empty() ? "(none)" : row.args[0];
        EXPECT_EQ(run.exitCode, row.exitCode) << what << "\n" << run.out << run.err;
        ASSERT_EQ(Lines(run.out).size(), 1u) << what << "\n" << run.out;
        std::vector<std::string> keys = TopKeys(run.out);
        ASSERT_GE(keys.size(), 4u) << run.out;
        EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 4),
                  (std::vector<std::string>{"command", "ok", "exitCode", "error"}));
        // Without the names' Bytes keys, every document of a command has
        // the same keys.
        std::vector<std::string> plain;
        for (const std::string& key : keys)
            if (key.size() < 5 || key.substr(key.size() - 5) != "Bytes" || key == "dataBytes")
                plain.push_back(key);
        std::string command = run.out.substr(0, run.out.find(','));
        auto known = keysOf.find(command);
        if (known == keysOf.end())
            keysOf[command] = plain;
        else
            EXPECT_EQ(plain, known->second) << run.out;
    }
    // The name that is no UTF-8 comes back whole.
    RunResult list = RunSundrel(dir.path(), {"list", "--json"});
    EXPECT_NE(list.out.find("\"dividedFileBytes\":\"636166e92e62696e\""), std::string::npos) << list.out;
}

}  // namespace
}  // namespace sundrel::test

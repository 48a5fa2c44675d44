// Several pieces on one command line (each set checked once, the worst exit
// code), pieces that no divide writes, and sundrel list.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "cli_runner.h"

namespace sundrel::test {
namespace {

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Two sets in one folder: a of three pieces, b of two; c elsewhere.
void MakeSets(const ScratchFolder& dir)
{
    mkdir((dir / "sub").c_str(), 0700);
    WriteFile(dir / "a", SampleBytes(2 * (1 << 20) + 10, 1));
    WriteFile(dir / "b", SampleBytes((1 << 20) + 10, 2));
    WriteFile(dir / "sub/c", SampleBytes(100, 3));
    for (const char* file : {"a", "b", "sub/c"})
        ASSERT_EQ(RunSundrel(dir.path(), {"divide", "-s1", file}).exitCode, 0);
}

TEST(Sets, EachSetCheckedOnceWorstExitCode)
{
    struct Row {
        const char* what;
        std::vector<std::string> args;
        int exitCode;
        size_t sets;   // "would merge" and "would not merge" lines
    } rows[] = {
        {"a glob over two sets", {"verify", "a(01_of_03).divide", "a(02_of_03).divide", "a(03_of_03).divide",
                                  "b(01_of_02).divide", "b(02_of_02).divide"}, 0, 2},
        {"the same piece twice, spelled two ways", {"verify", "a(01_of_03).divide", "./a(01_of_03).divide",
                                                    "../X/a(02_of_03).divide"}, 0, 1},
        {"another folder", {"verify", "sub/c(01_of_01).divide", "b(02_of_02).divide"}, 0, 2},
        {"a damaged set among good ones", {"verify", "b(01_of_02).divide", "a(02_of_03).divide"}, 1, 2},
        {"a missing file among them", {"verify", "a(01_of_03).divide", "gone(01_of_02).divide",
                                       "b(01_of_02).divide"}, 2, 2},
    };
    for (const Row& row : rows) {
        ScratchFolder dir;
        MakeSets(dir);
        if (row.exitCode == 1) {   // a block of a flipped in its second piece
            std::string piece = ReadFile(dir / "a(02_of_03).divide");
            piece[100] ^= 1;
            WriteFile(dir / "a(02_of_03).divide", piece);
        }
        std::vector<std::string> args = row.args;
        for (std::string& arg : args)
            if (arg.rfind("../X/", 0) == 0)
                arg = "../" + dir.path().substr(dir.path().rfind('/') + 1) + arg.substr(4);
        RunResult run = RunSundrel(dir.path(), args);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.what << "\n" << run.out << run.err;
        EXPECT_EQ(Count(run.out, "would merge") + Count(run.out, "would not merge"), row.sets)
            << row.what << "\n" << run.out;
        args.push_back("--json");
        RunResult json = RunSundrel(dir.path(), args);
        EXPECT_EQ(json.exitCode, row.exitCode) << row.what;
        EXPECT_EQ(Count(json.out, "\"mergeable\":"), row.sets + (row.exitCode == 2 ? 1 : 0)) << json.out;
    }
}

TEST(Sets, InfoRefusesPiecesNoDivideWrites)
{
    struct Row {
        const char* name;
        std::string bytes;   // "" : an empty file; "piece": a good one-piece set of 100 bytes
        int exitCode;
        const char* message;
    } rows[] = {
        {"x(01_of_01).divide", "piece", 0, ""},
        {"x(01_of_01).divide", "", 0, ""},
        {"x(02_of_04).divide", "", 1, "only the one piece of an empty file (01_of_01) is empty"},
        {"x(00_of_02).divide", "piece", 1, "no piece can have the number 00 in a set of 02"},
        {"x(03_of_02).divide", "piece", 1, "no piece can have the number 03 in a set of 02"},
        {"x(01_of_01).divide", "IDID", 1, "4 bytes is no length of a piece that a divide writes"},
        {"x(01_of_01).divide", "IDI", 1, "too short to hold a divide file ID"},
    };
    std::string good;
    {
        ScratchFolder dir;
        WriteFile(dir / "x", SampleBytes(100, 9));
        ASSERT_EQ(RunSundrel(dir.path(), {"divide", "x"}).exitCode, 0);
        good = ReadFile(dir / "x(01_of_01).divide");
    }
    for (const Row& row : rows) {
        ScratchFolder dir;
        WriteFile(dir / row.name, row.bytes == "piece" ? good : row.bytes);
        RunResult run = RunSundrel(dir.path(), {"info", row.name});
        EXPECT_EQ(run.exitCode, row.exitCode) << row.name << " " << row.message << "\n" << run.err;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        RunSundrel(dir.path(), {"info", "--json", row.name, row.name});
    }
}

TEST(Sets, ListShowsEachSetThroughItsPlan)
{
    ScratchFolder dir;
    MakeSets(dir);
    unlink((dir / "a(02_of_03).divide").c_str());
    std::string first = ReadFile(dir / "b(01_of_02).divide");
    WriteFile(dir / "b(01_of_02).divide", first.substr(0, first.size() - 4098));
    WriteFile(dir / ".b(01_of_02).divide.sundrel-tmp-123", "left by a crash");
    WriteFile(dir / "notes(1).txt", "no piece");
    RunResult run = RunSundrel(dir.path(), {"list"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(lines[0].rfind("a: 3 pieces, ID ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(" UTC): missing 02"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("b: 2 pieces, ID "), std::string::npos);
    EXPECT_NE(lines[1].find("would not merge"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2], ".b(01_of_02).divide.sundrel-tmp-123: a temporary file of a divide that did not finish");

    RunResult sub = RunSundrel(dir.path(), {"list", "sub", "--json"});
    EXPECT_NE(sub.out.find("\"state\":\"complete\""), std::string::npos) << sub.out;
    EXPECT_EQ(RunSundrel(dir.path(), {"--json", "list"}).exitCode, 0);
    EXPECT_EQ(RunSundrel(dir.path(), {"list", "a"}).exitCode, 2);
    EXPECT_EQ(RunSundrel(dir.path(), {"list", "a", "--json"}).exitCode, 2);
}

}  // namespace
}  // namespace sundrel::test

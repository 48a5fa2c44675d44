// The conventions of the command line: where options go, how help and
// usage errors read, exit codes; the parser as a function and through the
// program.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "arguments.h"
#include "cli_runner.h"
#include "commands.h"

namespace sundrel::test {
namespace {

using cli::Options;

TEST(CommandLine, ParserTakesOptionsAnywhere)
{
    struct Row {
        std::vector<std::string> args;
        const char* command;   // nullptr: none
        std::vector<std::string> operands;
        unsigned given;
        std::string outDir;
        unsigned pieceMiB;
        uint64_t mailLimit;
    } rows[] = {
        {{"-q", "divide", "f"}, "divide", {"f"}, cli::kOptQuiet, "", 0, 0},
        {{"divide", "f", "-q"}, "divide", {"f"}, cli::kOptQuiet, "", 0, 0},
        {{"divide", "--output=d", "f"}, "divide", {"f"}, cli::kOptOutput, "d", 0, 0},
        {{"divide", "--output", "d", "f"}, "divide", {"f"}, cli::kOptOutput, "d", 0, 0},
        {{"-od", "divide", "f"}, "divide", {"f"}, cli::kOptOutput, "d", 0, 0},
        {{"divide", "-s16", "f"}, "divide", {"f"}, cli::kOptSize, "", 16, 0},
        {{"divide", "-qfs", "2", "f"}, "divide", {"f"}, cli::kOptQuiet | cli::kOptForce | cli::kOptSize, "", 2, 0},
        {{"divide", "--mail-limit=25MB", "f"}, "divide", {"f"}, cli::kOptMailLimit, "", 0, 25000000},
        {{"divide", "--", "-f"}, "divide", {"-f"}, 0, "", 0, 0},
        {{"--", "verify", "-q", "--json"}, "verify", {"-q", "--json"}, 0, "", 0, 0},
        {{"verify", "a", "-", "b"}, "verify", {"a", "-", "b"}, 0, "", 0, 0},
        {{"help", "merge"}, "help", {"merge"}, 0, "", 0, 0},
        {{"--json", "list"}, "list", {}, cli::kOptJson, "", 0, 0},
        {{"merge", "-h"}, "merge", {}, cli::kOptHelp, "", 0, 0},
        {{"--version"}, nullptr, {}, cli::kOptVersion, "", 0, 0},
    };
    for (const Row& row : rows) {
        Options options;
        std::string error;
        EXPECT_TRUE(cli::ParseArguments(row.args, &options, &error)) << row.args[0] << " " << error;
        EXPECT_EQ(options.command ? std::string(options.command->name) : "-", row.command ? row.command : "-");
        EXPECT_EQ(options.operands, row.operands) << error;
        EXPECT_EQ(options.given, row.given) << row.args.back();
        EXPECT_EQ(options.outDir, row.outDir);
        EXPECT_EQ(options.pieceMiB, row.pieceMiB);
        EXPECT_EQ(options.mailLimit, row.mailLimit);
    }
}

TEST(CommandLine, ParserNamesTheFirstFault)
{
    struct Row {
        std::vector<std::string> args;
        const char* error;
    } rows[] = {
        {{"divde", "f"}, "unknown command 'divde'"},
        {{"divide", "--sise", "2", "f"}, "unrecognized option '--sise'"},
        {{"divide", "-x", "f"}, "invalid option -- 'x'"},
        {{"divide", "f", "-o"}, "option '-o' requires an argument"},
        {{"divide", "f", "--output"}, "option '--output' requires an argument"},
        {{"verify", "--json=yes", "p"}, "option '--json' doesn't allow an argument"},
        {{"verify", "-o", "d", "p"}, "option '-o' does not apply to 'verify'"},
        {{"-f", "merge", "p"}, "option '-f' does not apply to 'merge'"},
        {{"divide"}, "missing operand: sundrel divide FILE"},
        {{"divide", "a", "b"}, "extra operand 'b'"},
        {{"list", "a", "b"}, "extra operand 'b'"},
        {{"divide", "-s", "4096", "f"}, "from 1 to 4095: 4096"},
        {{"divide", "-s", "1x", "f"}, "from 1 to 4095: 1x"},
        {{"divide", "--mail-limit", "5 parsecs", "f"}, "Not a size"},
        {{"divide", "--mail-limit", "0", "f"}, "Not a size"},
        {{"divide", "-s2", "--mail-limit", "25MB", "f"}, "cannot be used together"},
    };
    for (const Row& row : rows) {
        Options options;
        std::string error;
        EXPECT_FALSE(cli::ParseArguments(row.args, &options, &error)) << row.error;
        EXPECT_NE(error.find(row.error), std::string::npos) << row.error << " / " << error;
    }
}

TEST(CommandLine, HelpUsageErrorsAndExitCodes)
{
    const std::string kTry = "Try 'sundrel --help' for more information.";
    struct Row {
        std::vector<std::string> args;
        std::vector<std::string> env;
        int exitCode;
        std::string outStart;                 // stdout begins with it
        std::vector<std::string> errLines;    // stderr is exactly these lines; {"*"}: anything
    } rows[] = {
        {{}, {}, 2, "", {"*"}},
        {{"help"}, {}, 0, "Usage: sundrel COMMAND", {}},
        {{"--help"}, {}, 0, "Usage: sundrel COMMAND", {}},
        {{"help", "divide"}, {}, 0, "Usage: sundrel divide [OPTION]... FILE\n", {}},
        {{"divide", "--help"}, {}, 0, "Usage: sundrel divide [OPTION]... FILE\n", {}},
        {{"-h", "verify"}, {}, 0, "Usage: sundrel verify PIECE...\n", {}},
        {{"list", "--help", "x", "y"}, {}, 0, "Usage: sundrel list [DIR]\n", {}},
        {{"--version"}, {}, 0, "sundrel 1.", {}},
        {{"help", "nope"}, {}, 2, "", {"sundrel: unknown command 'nope'", kTry}},
        {{"divide"}, {}, 2, "", {"sundrel: missing operand: sundrel divide FILE", kTry}},
        {{"divide", "-z", "f"}, {}, 2, "", {"sundrel: invalid option -- 'z'", kTry}},
        {{"frobnicate"}, {}, 2, "", {"sundrel: unknown command 'frobnicate'", kTry}},
        {{"divide"}, {"LC_ALL=ja_JP.UTF-8"}, 2, "",
         {"sundrel: 引数が足りません: sundrel divide ファイル", "詳しくは 'sundrel --help' を実行してください。"}},
        {{"help", "merge"}, {"LANG=ja_JP.UTF-8", "LC_ALL="}, 0, "使い方: sundrel merge", {}},
    };
    ScratchFolder dir;
    for (const Row& row : rows) {
        RunSetting setting;
        setting.env = row.env;
        RunResult run = RunSundrelWith(dir.path(), row.args, setting);
        std::string what = row.args.empty() ? "(none)" : row.args[0];
        EXPECT_EQ(run.exitCode, row.exitCode) << what << "\n" << run.err;
        EXPECT_EQ(run.out.substr(0, row.outStart.size()), row.outStart) << what;
        if (row.errLines != std::vector<std::string>{"*"}) {
            EXPECT_EQ(Lines(run.err), row.errLines) << what;
        }
    }
    // No command: the usage on stderr, nothing on stdout.
    RunResult bare = RunSundrel(dir.path(), {});
    EXPECT_EQ(bare.out, "");
    EXPECT_EQ(bare.err.rfind("Usage: sundrel COMMAND", 0), 0u) << bare.err;
}

TEST(CommandLine, AFailedWriteOnStdoutFailsTheCommand)
{
    ScratchFolder dir;
    WriteFile(dir / "a", SampleBytes(5000, 1));
    ASSERT_EQ(RunSundrel(dir.path(), {"divide", "a"}).exitCode, 0);
    struct stat st;
    if (stat("/dev/full", &st) != 0)
        GTEST_SKIP() << "no /dev/full";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"verify", "a(01_of_01).divide"}, {"--json", "list"}, {"help"},
          {"info", "a(01_of_01).divide"}}) {
        RunSetting setting;
        setting.stdoutPath = "/dev/full";
        RunResult run = RunSundrelWith(dir.path(), args, setting);
        EXPECT_EQ(run.exitCode, 1) << args[0];
        EXPECT_NE(run.err.find("write error on standard output (No space left on device)"),
                  std::string::npos)
            << run.err;
    }
}

}  // namespace
}  // namespace sundrel::test

// A divide into a folder that holds pieces of the same name never loses
// them: refused without --force; with it, nothing changes until the new set
// is complete, whatever stops it (Ctrl-C at any point, a termination
// request, a full disk); a success leaves exactly the new set.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "cli_runner.h"
#include "piece_names.h"
#include "replacement.h"

namespace sundrel::test {
namespace {

constexpr size_t kMiB = 1 << 20;

// A received set of five pieces of report.pdf in out, and files beside it
// that only look related.
void MakeEarlierSet(const ScratchFolder& dir, size_t size = 4 * kMiB + 1000)
{
    mkdir((dir / "old").c_str(), 0700);
    mkdir((dir / "out").c_str(), 0700);
    WriteFile(dir / "old/report.pdf", SampleBytes(size, 1));
    ASSERT_EQ(RunSundrel(dir.path(), {"divide", "-s", "1", "old/report.pdf", "-o", "out"}).exitCode, 0);
    WriteFile(dir / "out/report.pdf(copy).divide", "keep");
    WriteFile(dir / "out/other.pdf(01_of_01).divide", "keep too");
}

bool IsTemporary(const std::string& name)
{
    return name.find(".sundrel-tmp-") != std::string::npos;
}

TEST(Replace, AnythingButSuccessLeavesTheEarlierSet)
{
    const size_t size = 4 * kMiB + 1000;   // five pieces of 1 MiB, as the earlier set
    const std::string all = std::to_string(size + 2 * ((size + 4095) / 4096));
    struct Row {
        const char* what;
        std::vector<std::string> args;
        const char* interruptAfter;   // the test's Ctrl-C after so many bytes
        int exitCode;
        const char* message;
    } rows[] = {
        {"without --force", {"divide", "-s", "1", "report.pdf", "-o", "out"}, nullptr, 1,
         "already holds pieces of report.pdf: report.pdf(01_of_05).divide, "},
        {"JSON without --force", {"divide", "--json", "-s1", "-oout", "report.pdf"}, nullptr, 1,
         "already holds pieces"},
        {"Ctrl-C in the first block", {"divide", "-fs1", "report.pdf", "-o", "out"}, "1", 130,
         "Interrupted"},
        {"Ctrl-C in the third piece", {"divide", "-f", "-s", "1", "report.pdf", "-oout"}, "2500000",
         130, "Interrupted"},
        {"Ctrl-C after the last block", {"divide", "--force", "-s1", "report.pdf", "--output=out"},
         all.c_str(), 130, "Interrupted"},
        {"Ctrl-C, smaller set", {"divide", "--force", "-s", "3", "report.pdf", "-o", "out"},
         "3500000", 130, "Interrupted"},
    };
    for (const Row& row : rows) {
        ScratchFolder dir;
        MakeEarlierSet(dir, size);
        WriteFile(dir / "report.pdf", SampleBytes(size, 2));
        auto before = Snapshot(dir / "out");
        RunSetting setting;
        if (row.interruptAfter)
            setting.env = {std::string("SUNDREL_TEST_INTERRUPT_AFTER=") + row.interruptAfter};
        RunResult run = RunSundrelWith(dir.path(), row.args, setting);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.what << "\n" << run.err;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << row.what << "\n" << run.err;
        EXPECT_TRUE(Snapshot(dir / "out") == before) << row.what;
    }
}

TEST(Replace, TerminationWhileWritingLeavesTheEarlierSet)
{
    struct Row {
        int signal;
        int exitCode;
    } rows[] = {{SIGINT, 130}, {SIGTERM, 143}};
    for (const Row& row : rows) {
        ScratchFolder dir;
        MakeEarlierSet(dir);
        mkdir((dir / "big").c_str(), 0700);
        WriteFile(dir / "big/report.pdf", "");
        ASSERT_EQ(truncate((dir / "big/report.pdf").c_str(), 1024 * off_t(kMiB)), 0);
        auto before = Snapshot(dir / "out");
        pid_t pid = StartSundrel(dir.path(), {"divide", "--force", "-s", "64", "big/report.pdf", "-o", "out"});
        // Stopped as soon as its first temporary file exists.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        auto started = [&] {
            for (const std::string& name : FilesIn(dir / "out"))
                if (IsTemporary(name))
                    return true;
            return false;
        };
        while (!started() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        kill(pid, row.signal);
        EXPECT_EQ(WaitSundrel(pid), row.exitCode);
        EXPECT_TRUE(Snapshot(dir / "out") == before) << row.signal;
    }
}

TEST(Replace, FullDiskLeavesTheEarlierSet)
{
    ScratchFolder dir;
    std::string full = dir / "out";
    mkdir(full.c_str(), 0700);
    if (mount("sundrel-test", full.c_str(), "tmpfs", 0, "size=3m") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "); needs root";
    MakeEarlierSet(dir, 2 * kMiB - 10);   // two pieces, most of the room
    WriteFile(dir / "report.pdf", SampleBytes(3 * kMiB, 3));
    auto before = Snapshot(full);
    RunResult run = RunSundrel(dir.path(), {"divide", "-f", "-s", "1", "report.pdf", "-o", "out"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
    EXPECT_TRUE(Snapshot(full) == before);
    umount(full.c_str());
}

TEST(Replace, SuccessLeavesExactlyTheNewSet)
{
    struct Row {
        const char* miB;
        std::vector<std::string> pieces;
    } rows[] = {
        {"1", {"report.pdf(01_of_05).divide", "report.pdf(02_of_05).divide", "report.pdf(03_of_05).divide",
               "report.pdf(04_of_05).divide", "report.pdf(05_of_05).divide"}},
        {"2", {"report.pdf(01_of_03).divide", "report.pdf(02_of_03).divide", "report.pdf(03_of_03).divide"}},
    };
    for (const Row& row : rows) {
        ScratchFolder dir;
        MakeEarlierSet(dir);
        std::string source = SampleBytes(4 * kMiB + 1000, 4);
        WriteFile(dir / "report.pdf", source);
        RunResult run = RunSundrel(dir.path(), {"divide", "-f", "-s", row.miB, "report.pdf", "-o", "out"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::vector<std::string> expected = row.pieces;
        expected.push_back("other.pdf(01_of_01).divide");
        expected.push_back("report.pdf(copy).divide");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(FilesIn(dir / "out"), expected) << row.miB;
        // The new set, and nothing of the old, merges back to the new source.
        RunResult merged = RunSundrel(dir.path(), {"merge", "out/" + row.pieces[0], "-o", "old"});
        ASSERT_EQ(merged.exitCode, 0) << merged.err;
        EXPECT_TRUE(ReadFile(dir / Lines(merged.out).at(0)) == source) << row.miB;
    }
}

TEST(Replace, TemporaryNamesAreHiddenAndNeverPieceNames)
{
    const std::string longName(230, 'n');   // its piece name fits, with the mark it would not
    struct Row {
        std::string pieceName;
        std::string temporary;
    } rows[] = {
        {"report.pdf(01_of_03).divide", ".report.pdf(01_of_03).divide.sundrel-tmp-4711"},
        {longName + "(02_of_03).divide", ".02_of_03.sundrel-tmp-4711"},
    };
    for (const Row& row : rows) {
        std::string name = cli::TemporaryName(row.pieceName, 2, 3, 4711);
        EXPECT_EQ(name, row.temporary);
        EXPECT_TRUE(cli::IsTemporaryName(name)) << name;
        EXPECT_FALSE(IsPieceFileName<char>(name)) << name;
        EXPECT_LE(name.size(), 255u);
    }
    for (const char* name : {"report.pdf(01_of_03).divide", "a.sundrel-tmp-1", ".a.sundrel-tmp-",
                             ".a.sundrel-tmp-12x", ".sundrel-tmp-12"})
        EXPECT_FALSE(cli::IsTemporaryName(name)) << name;

    // A divide of a name that long, over an earlier set of it, end to end.
    ScratchFolder dir;
    WriteFile(dir / longName, SampleBytes(3 * kMiB, 5));
    ASSERT_EQ(RunSundrel(dir.path(), {"divide", "-s1", longName}).exitCode, 0);
    RunResult run = RunSundrel(dir.path(), {"divide", "-fs2", longName});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(FilesIn(dir.path()),
              (std::vector<std::string>{longName, longName + "(01_of_02).divide", longName + "(02_of_02).divide"}));
}

}  // namespace
}  // namespace sundrel::test

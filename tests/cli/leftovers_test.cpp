// divide and merge leave nothing half-written behind: not on a full disk,
// not after Ctrl-C.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "cli_runner.h"

namespace sundrel::test {
namespace {

constexpr off_t kMiB = 1 << 20;

void MakeSparse(const std::string& path, off_t size)
{
    WriteFile(path, "");
    ASSERT_EQ(truncate(path.c_str(), size), 0);
}

TEST(Leftovers, NothingAfterAFullDisk)
{
    ScratchFolder dir;
    std::string full = dir / "full";
    mkdir(full.c_str(), 0700);
    if (mount("sundrel-test", full.c_str(), "tmpfs", 0, "size=3m") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "); needs root";
    WriteFile(dir / "data", SampleBytes(5 * kMiB, 5));
    ASSERT_EQ(RunSundrel(dir.path(), {"divide", "-s", "1", "data"}).exitCode, 0);
    struct Row {
        const char* what;
        std::vector<std::string> args;
    } rows[] = {
        {"divide", {"divide", "-s", "1", "data", "-o", "full"}},
        {"merge", {"merge", "data(03_of_05).divide", "-o", "full", "--remove-pieces"}},
    };
    for (const Row& row : rows) {
        RunResult run = RunSundrel(dir.path(), row.args);
        EXPECT_EQ(run.exitCode, 1) << row.what;
        EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
        EXPECT_TRUE(FilesIn(full).empty()) << row.what;
    }
    EXPECT_EQ(FilesIn(dir.path()).size(), 7u);   // data, full and the five pieces
    umount(full.c_str());
}

TEST(Leftovers, NothingAfterCtrlC)
{
    ScratchFolder dir;
    mkdir((dir / "out").c_str(), 0700);
    MakeSparse(dir / "big", 2048 * kMiB);
    MakeSparse(dir / "mid", 256 * kMiB);
    ASSERT_EQ(RunSundrel(dir.path(), {"divide", "mid"}).exitCode, 0);
    struct Row {
        const char* what;
        std::vector<std::string> args;
    } rows[] = {
        {"divide", {"divide", "-s", "32", "big", "-o", "out"}},
        {"merge", {"merge", "mid(01_of_16).divide", "-o", "out", "--remove-pieces"}},
    };
    for (const Row& row : rows) {
        pid_t pid = StartSundrel(dir.path(), row.args);
        // Interrupted as soon as its first file exists, well before the end.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (FilesIn(dir / "out").empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        kill(pid, SIGINT);
        EXPECT_EQ(WaitSundrel(pid), 130) << row.what;
        EXPECT_TRUE(FilesIn(dir / "out").empty()) << row.what;
    }
    EXPECT_EQ(FilesIn(dir.path()).size(), 19u);   // out, big, mid and its 16 pieces
}

}  // namespace
}  // namespace sundrel::test

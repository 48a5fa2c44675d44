// Recovery pieces through the companion: divide --recovery, then lost,
// damaged or cut pieces, then verify, merge and repair give the original
// back, or refuse and leave the folder as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "cli_runner.h"

namespace sundrel::test {
namespace {

constexpr size_t kBlock = 4098;
const std::string kSource = "data.bin";
const std::string P1 = "data.bin(01_of_03).divide", P2 = "data.bin(02_of_03).divide",
                  P3 = "data.bin(03_of_03).divide";
const std::string R1 = "data.bin(00_of_03).recovery-01-of-02.divide",
                  R2 = "data.bin(00_of_03).recovery-02-of-02.divide";

struct Files {
    const ScratchFolder& dir;
    void Flip(const std::string& name, size_t offset) const
    {
        std::string bytes = ReadFile(dir / name);
        bytes[offset] ^= 0x20;
        WriteFile(dir / name, bytes);
    }
    void Cut(const std::string& name, size_t length) const
    {
        WriteFile(dir / name, ReadFile(dir / name).substr(0, length));
    }
    void Lose(const std::string& name) const { unlink((dir / name).c_str()); }
};

// A set of three pieces of 1 MiB (the last one half) and two recovery pieces.
std::string MakeSet(const ScratchFolder& dir)
{
    std::string source = SampleBytes(2621440, 11);
    WriteFile(dir / kSource, source);
    RunResult run = RunSundrel(dir.path(), {"divide", "-s", "1", "--recovery", "2", kSource});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return source;
}

// The folder's files without the source and the merged files in out.
std::vector<std::pair<std::string, std::string>> SetFiles(const ScratchFolder& dir)
{
    auto files = Snapshot(dir.path());
    std::vector<std::pair<std::string, std::string>> set;
    for (auto& file : files)
        if (file.first != kSource && file.first.rfind("out", 0) != 0)
            set.push_back(file);
    return set;
}

TEST(Recovery, DivideCountsRecoveryPiecesAndRefusesImpossibleOnes)
{
    struct Row {
        std::vector<std::string> args;
        int exitCode;
        std::vector<std::string> recoveryNames;
    } rows[] = {
        {{"-r", "1"}, 0, {"data.bin(00_of_03).recovery-01-of-01.divide"}},
        {{"--recovery=50%"}, 0, {R1, R2}},
        {{"--recovery", "1%"}, 0, {"data.bin(00_of_03).recovery-01-of-01.divide"}},
        {{"-r", "0"}, 0, {}},
        {{"-r", "100"}, 2, {}},
        {{"-r", "101%"}, 2, {}},
        {{"-r", "two"}, 2, {}},
    };
    for (const Row& row : rows) {
        ScratchFolder dir;
        WriteFile(dir / kSource, SampleBytes(2621440, 3));
        std::vector<std::string> args = {"divide", "-s", "1", kSource, "--json"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        RunResult run = RunSundrel(dir.path(), args);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.args.back() << "\n" << run.out;
        std::vector<std::string> expected = {kSource};
        if (row.exitCode == 0) {
            expected.insert(expected.end(), row.recoveryNames.begin(), row.recoveryNames.end());
            expected.insert(expected.end(), {P1, P2, P3});
        }
        EXPECT_EQ(FilesIn(dir.path()), expected) << row.args.back();
        if (row.exitCode == 2) {
            EXPECT_NE(run.out.find("from 0 to 99"), std::string::npos) << run.out;
        }
    }
}

TEST(Recovery, LostAndDamagedPiecesComeBackOrNothingIsWritten)
{
    const size_t blockAt = 4 + 10 * kBlock + 100;   // inside block 11
    struct Row {
        const char* what;
        std::function<void(const Files&)> damage;
        int verifyExit;
        std::string verifyLine;
        bool rebuildable;
        std::vector<std::string> rebuilt;    // lines of merge
        std::vector<std::string> repaired;   // lines of repair
    } rows[] = {
        {"intact", [](const Files&) {}, 0, "The set would merge: 3 pieces, 2621440 data bytes.", true, {}, {}},
        {"one piece lost", [](const Files& f) { f.Lose(P1); }, 1,
         "would merge after repair: pieces 01 would be rebuilt", true, {P1}, {P1}},
        {"flipped and cut",
         [&](const Files& f) {
             f.Flip(P2, blockAt);
             f.Cut(P3, 4 + 3 * kBlock + 7);
         },
         1, "pieces 02, 03 would be rebuilt", true, {P2, P3}, {P2, P3}},
        {"damaged ID", [](const Files& f) { f.Flip(P3, 1); }, 1,
         "pieces 03 differ from what the division wrote", true, {}, {P3}},
        {"grown piece", [](const Files& f) { WriteFile(f.dir / P2, ReadFile(f.dir / P2) + "tail"); }, 1,
         "pieces 02 differ from what the division wrote", true, {}, {P2}},
        {"damaged recovery piece, one piece lost",
         [&](const Files& f) {
             f.Flip(R1, 4000 + blockAt);
             f.Lose(P2);
         },
         1, "pieces 02 would be rebuilt", true, {P2}, {P2}},
        {"three pieces lost",
         [](const Files& f) {
             f.Lose(P1);
             f.Lose(P2);
             f.Lose(P3);
         },
         1, "would not merge: Too many pieces are missing or damaged to rebuild them: 1 more", false, {}, {}},
        {"three pieces damaged in one stripe",
         [&](const Files& f) {
             f.Flip(P1, blockAt);
             f.Flip(P2, blockAt);
             f.Flip(P3, blockAt);
         },
         1, "1 more recovery pieces are needed", false, {}, {}},
        {"a recovery piece lost and damaged",
         [&](const Files& f) {
             f.Lose(R2);
             f.Flip(R1, 4000 + blockAt);
             f.Lose(P1);
         },
         1, "1 more recovery pieces are needed", false, {}, {}},
    };
    for (const Row& row : rows) {
        ScratchFolder dir;
        std::string source = MakeSet(dir);
        auto whole = SetFiles(dir);
        row.damage(Files{dir});
        auto damaged = SetFiles(dir);
        mkdir((dir / "out").c_str(), 0700);
        mkdir((dir / "out-json").c_str(), 0700);

        // Any file of the set that is left names it.
        std::vector<std::string> present = {"verify", "--json"};
        for (const std::string& name : {P3, P2, P1, R1, R2})
            if (access((dir / name).c_str(), F_OK) == 0)
                present.push_back(name);
        const std::string named = present[2];
        RunResult verify = RunSundrel(dir.path(), {"verify", named});
        EXPECT_EQ(verify.exitCode, row.verifyExit) << row.what << "\n" << verify.out;
        EXPECT_NE(verify.out.find(row.verifyLine), std::string::npos) << row.what << "\n" << verify.out;
        // Each set once, however many of its files are named.
        RunResult json = RunSundrel(dir.path(), present);
        EXPECT_EQ(json.out.find("\"arguments\"", json.out.find("\"arguments\"") + 1), std::string::npos)
            << row.what << "\n" << json.out;

        RunResult merge = RunSundrel(dir.path(), {"merge", "-o", "out", named});
        RunSundrel(dir.path(), {"merge", "--json", "-o", "out-json", named});
        std::vector<std::string> merged = FilesIn(dir / "out");
        EXPECT_EQ(merge.exitCode, row.rebuildable ? 0 : 1) << row.what << "\n" << merge.err;
        for (const std::string& name : merged)
            EXPECT_EQ(ReadFile(dir / ("out/" + name)), source) << row.what;
        EXPECT_EQ(merged.empty(), !row.rebuildable) << row.what;
        for (const std::string& piece : row.rebuilt)
            EXPECT_NE(merge.out.find("Rebuilt from the recovery pieces: " + piece), std::string::npos)
                << row.what << "\n" << merge.out;
        EXPECT_TRUE(SetFiles(dir) == damaged) << row.what << ": merge changed the set";

        RunResult repair = RunSundrel(dir.path(), {"repair", named});
        RunSundrel(dir.path(), {"repair", "--json", named});
        EXPECT_EQ(repair.exitCode, row.rebuildable ? 0 : 1) << row.what << "\n" << repair.err;
        for (const std::string& piece : row.repaired)
            EXPECT_NE(repair.out.find("Repaired: " + piece), std::string::npos) << row.what;
        if (!row.rebuildable) {
            EXPECT_NE(repair.err.find("1 more recovery pieces"), std::string::npos) << repair.err;
            EXPECT_TRUE(SetFiles(dir) == damaged) << row.what << ": repair wrote";
            continue;
        }
        // Byte for byte the pieces as divided; a damaged recovery piece stays as it is.
        auto after = SetFiles(dir);
        ASSERT_EQ(after.size(), whole.size()) << row.what;
        for (size_t i = 0; i < after.size(); ++i)
            if (after[i].first.find(".recovery-") == std::string::npos) {
                EXPECT_TRUE(after[i] == whole[i]) << row.what << ": " << after[i].first;
            }
    }
}

TEST(Recovery, RemovePiecesTakesTheRecoveryPiecesOnlyAfterSuccess)
{
    struct Row {
        const char* what;
        std::function<void(const Files&)> damage;
        int exitCode;
    } rows[] = {
        {"one piece lost", [](const Files& f) { f.Lose(P3); }, 0},
        {"too many lost",
         [](const Files& f) {
             f.Lose(P1);
             f.Lose(P2);
             f.Lose(P3);
         },
         1},
    };
    for (const Row& row : rows) {
        ScratchFolder dir;
        std::string source = MakeSet(dir);
        WriteFile(dir / "data.bin(00_of_03).recovery-01-of-05.divide", "not of this set");
        row.damage(Files{dir});
        auto before = SetFiles(dir);
        mkdir((dir / "out").c_str(), 0700);
        RunResult run = RunSundrel(dir.path(), {"merge", "--remove-pieces", "-o", "out", R2});
        EXPECT_EQ(run.exitCode, row.exitCode) << row.what << "\n" << run.err;
        if (row.exitCode != 0) {
            EXPECT_TRUE(SetFiles(dir) == before) << row.what;
            continue;
        }
        // What is not of the set stays.
        EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{
                                           "data.bin", "data.bin(00_of_03).recovery-01-of-05.divide", "out"}));
    }
}

TEST(Recovery, DivideReplacesEarlierRecoveryPiecesOnlyWhenComplete)
{
    struct Row {
        std::vector<std::string> args;
        const char* interruptAfter;
        int exitCode;
        std::vector<std::string> names;   // afterwards, beside the source
    } rows[] = {
        {{"-r", "1"}, nullptr, 1, {kSource, R1, R2, P1, P2, P3}},
        {{"-f", "-r", "1"}, "2700000", 130, {kSource, R1, R2, P1, P2, P3}},
        {{"-f"}, nullptr, 0, {kSource, P1, P2, P3}},
        {{"-f", "-r", "1"}, nullptr, 0, {kSource, "data.bin(00_of_03).recovery-01-of-01.divide", P1, P2, P3}},
    };
    for (const Row& row : rows) {
        ScratchFolder dir;
        MakeSet(dir);
        auto before = Snapshot(dir.path());
        std::vector<std::string> args = {"divide", "-s", "1", kSource};
        args.insert(args.end(), row.args.begin(), row.args.end());
        RunSetting setting;
        if (row.interruptAfter)
            setting.env = {std::string("SUNDREL_TEST_INTERRUPT_AFTER=") + row.interruptAfter};
        RunResult run = RunSundrelWith(dir.path(), args, setting);
        EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
        EXPECT_EQ(FilesIn(dir.path()), row.names) << run.err;
        if (row.exitCode != 0) {
            EXPECT_TRUE(Snapshot(dir.path()) == before);
        }
    }
}

TEST(Recovery, InfoAndListShowTheRecoveryPieces)
{
    ScratchFolder dir;
    MakeSet(dir);
    RunResult info = RunSundrel(dir.path(), {"info", R2});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("Recovery:     piece 2 of 2, for a set of 3 pieces"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("2621440 bytes, 3 pieces, 2 recovery pieces"), std::string::npos);
    EXPECT_NE(info.out.find("Piece 03:     SHA-256 "), std::string::npos);
    RunSundrel(dir.path(), {"info", "--json", R1, P1});
    // A recovery piece whose manifest is gone.
    WriteFile(dir / R1, ReadFile(dir / R1).substr(0, 40));
    RunResult cut = RunSundrel(dir.path(), {"info", R1});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_NE(cut.err.find("no recovery piece can be read from it"), std::string::npos) << cut.err;

    unlink((dir / P1).c_str());
    unlink((dir / P2).c_str());
    unlink((dir / P3).c_str());
    RunResult list = RunSundrel(dir.path(), {"list"});
    EXPECT_NE(list.out.find("data.bin: 3 pieces, "), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("missing 01, 02, 03, 2 recovery pieces"), std::string::npos) << list.out;
    RunSundrel(dir.path(), {"list", "--json"});
}

}  // namespace
}  // namespace sundrel::test

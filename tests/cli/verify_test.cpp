// Every kind of damage that verify names, with its line and exit code.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "cli_runner.h"

namespace sundrel::test {
namespace {

constexpr size_t kBlock = 4098;
constexpr size_t kFullPiece = 4 + 256 * kBlock;   // 1 MiB of data
const std::string P1 = "data.bin(01_of_03).divide", P2 = "data.bin(02_of_03).divide",
                  P3 = "data.bin(03_of_03).divide";

struct Files {
    const ScratchFolder& dir;
    std::string Get(const std::string& name) const { return ReadFile(dir / name); }
    void Put(const std::string& name, const std::string& bytes) const { WriteFile(dir / name, bytes); }
    void Cut(const std::string& name, size_t length) const { Put(name, Get(name).substr(0, length)); }
    void Append(const std::string& name, const std::string& bytes) const
    {
        Put(name, Get(name) + bytes);
    }
    // A whole valid block of the piece, its last one.
    std::string LastBlock(const std::string& name) const
    {
        std::string piece = Get(name);
        size_t blocks = (piece.size() - 4) / kBlock;
        return piece.substr(4 + (blocks - 1) * kBlock, kBlock);
    }
};

TEST(Verify, NamesEachDamageWithItsExitCode)
{
    struct Row {
        const char* what;
        std::function<void(const Files&)> damage;
        std::vector<std::string> args;
        int exitCode;
        std::vector<std::string> lines;
    } rows[] = {
        {"intact", [](const Files&) {}, {}, 0,
         {P1 + ": OK, 256 blocks, 1048576 data bytes", P3 + ": OK, 128 blocks, 524288 data bytes",
          "The set would merge: 3 pieces, 2621440 data bytes."}},
        {"flipped byte",
         [](const Files& f) {
             std::string piece = f.Get(P2);
             piece[4 + 4 * kBlock + 10] ^= 0x40;
             f.Put(P2, piece);
         },
         {}, 1, {P2 + ": damaged at block 5 (byte offset 16396)", "The set would not merge."}},
        {"as JSON",
         [](const Files& f) {
             std::string piece = f.Get(P2);
             piece[4 + 4 * kBlock + 10] ^= 0x40;
             f.Put(P2, piece);
         },
         {"--json"}, 1,
         {"\"mergeable\":false", "\"kind\":\"damaged\",\"block\":5,\"offset\":16396"}},
        {"cut at a block boundary", [](const Files& f) { f.Cut(P1, kFullPiece - kBlock); }, {}, 1,
         {P1 + ": truncated: 1044994 bytes"}},
        {"cut inside a block", [](const Files& f) { f.Cut(P2, kFullPiece / 2); }, {}, 1,
         {P2 + ": damaged at block 128 (byte offset 520450)", P2 + ": truncated: 524546 bytes"}},
        {"grown by a block", [](const Files& f) { f.Append(P2, f.LastBlock(P2)); }, {}, 1,
         {P2 + ": grown: 1053190 bytes"}},
        {"last piece longer than the others",
         [](const Files& f) {
             std::string block = f.LastBlock(P3), more;
             for (int i = 0; i < 200; ++i)
                 more += block;
             f.Append(P3, more);
         },
         {}, 1, {P3 + ": grown"}},
        {"1-byte tail", [](const Files& f) { f.Append(P3, "x"); }, {}, 1,
         {P3 + ": ends in a 1-byte tail after its last whole block"}},
        {"2-byte tail on an inner piece", [](const Files& f) { f.Append(P1, "xy"); }, {}, 1,
         {P1 + ": ends in a 2-byte tail after its last whole block"}},
        {"damaged ID",
         [](const Files& f) {
             std::string piece = f.Get(P3);
             piece[0] ^= 1;
             f.Put(P3, piece);
         },
         {}, 1, {P3 + ": its ID ", "is not the set's", "would not merge"}},
        {"piece of another division beside",
         [](const Files& f) {
             std::string piece = f.Get(P1);
             piece[1] ^= 1;
             f.Put("data.bin(01_of_05).divide", piece);
         },
         {}, 0, {"data.bin(01_of_05).divide: a piece of another division (ID ", "would merge"}},
        {"second piece with a number", [](const Files& f) { f.Put("DATA.BIN(02_of_03).divide", f.Get(P2)); },
         {}, 1, {"a second piece with the number 02"}},
        {"this division under another count",
         [](const Files& f) { f.Put("data.bin(01_of_04).divide", f.Get(P1)); }, {}, 1,
         {"data.bin(01_of_04).divide: a piece of this division under another piece count (4)"}},
        {"missing numbers",
         [](const Files& f) {
             unlink((f.dir / P1).c_str());
             unlink((f.dir / P3).c_str());
         },
         {}, 1, {"missing: piece 01, 03 of 03"}},
        {"no room for an ID", [](const Files& f) { f.Cut(P1, 3); }, {}, 1,
         {P1 + ": too short to hold a divide file ID (3 bytes)", "would not merge"}},
        {"selected piece without an ID", [](const Files& f) { f.Cut(P2, 2); }, {}, 1,
         {P2 + ": too short to hold a divide file ID (2 bytes)", "would not merge"}},
        {"not a piece name", [](const Files&) {}, {"data.bin"}, 2, {"Not the name of"}},
        {"missing file", [](const Files&) {}, {"gone(01_of_02).divide"}, 2, {"does not exist"}},
        {"folder", [](const Files& f) { mkdir((f.dir / "d(01_of_02).divide").c_str(), 0700); },
         {"d(01_of_02).divide"}, 2, {"A folder was given"}},
    };
    for (const Row& row : rows) {
        ScratchFolder dir;
        WriteFile(dir / "data.bin", SampleBytes(2621440, 7));
        ASSERT_EQ(RunSundrel(dir.path(), {"divide", "-s", "1", "data.bin"}).exitCode, 0);
        row.damage(Files{dir});
        std::vector<std::string> args = {"verify"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        bool ownFile = !row.args.empty() && row.args.back() != "--json";
        if (!ownFile)
            args.push_back(P2);
        RunResult run = RunSundrel(dir.path(), args);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.what << "\n" << run.out << run.err;
        for (const std::string& line : row.lines)
            EXPECT_NE((run.out + run.err).find(line), std::string::npos)
                << row.what << ": no \"" << line << "\" in\n" << run.out << run.err;
    }
}

}  // namespace
}  // namespace sundrel::test

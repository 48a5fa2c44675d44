// divide → verify → merge, byte for byte; the pieces read back by a reader of
// the test's own; the piece size chosen for a mail limit.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "cli_runner.h"
#include "piece_sizes.h"

namespace sundrel::test {
namespace {

// CRC-16/X-25 bit by bit, independent of the program's table.
uint16_t Crc(const std::string& bytes)
{
    uint16_t crc = 0xFFFF;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0x8408 : crc >> 1;
    }
    return crc ^ 0xFFFF;
}

// The data of one piece as this reader understands the layout; fails the
// test on any deviation. id gets the piece's ID.
std::string ReadPiece(const std::string& piece, uint32_t* id)
{
    *id = 0;
    if (piece.empty())
        return piece;
    EXPECT_GE(piece.size(), 7u);
    for (int i = 0; i < 4; ++i)
        *id |= uint32_t(uint8_t(piece[i])) << (8 * i);
    std::string data;
    for (size_t pos = 4; pos < piece.size();) {
        size_t n = std::min<size_t>(4096, piece.size() - pos - 2);
        std::string block = piece.substr(pos, n);
        uint16_t stored = uint16_t(uint8_t(piece[pos + n]) | uint8_t(piece[pos + n + 1]) << 8);
        EXPECT_EQ(stored, Crc(block)) << "block at " << pos;
        data += block;
        pos += n + 2;
    }
    return data;
}

TEST(DivideMerge, RoundTripByteForByte)
{
    const size_t MiB = 1 << 20;
    struct Row {
        size_t size;
        const char* miB;
        std::vector<size_t> pieceLengths;
    } rows[] = {
        {0, "1", {0}},
        {1, "1", {7}},
        {10000, "1", {10010}},
        {MiB, "1", {4 + 256 * 4098}},
        {MiB + 1, "1", {4 + 256 * 4098, 7}},
        {3 * MiB + 5000, "2", {4 + 512 * 4098, 4 + 256 * 4098 + 5000 + 4}},
    };
    for (const Row& row : rows) {
        ScratchFolder dir;
        std::string original = SampleBytes(row.size, unsigned(row.size));
        WriteFile(dir / "report.pdf", original);
        // An earlier piece of the same name goes with --force; a look-alike
        // stays.
        WriteFile(dir / "report.pdf(01_of_07).divide", "old");
        WriteFile(dir / "report.pdf(copy).divide", "keep");
        uint32_t before = uint32_t(time(nullptr));
        RunResult divided =
            RunSundrel(dir.path(), {"divide", "--force", "-s", row.miB, "report.pdf"});
        ASSERT_EQ(divided.exitCode, 0) << divided.err;
        std::vector<std::string> pieces = Lines(divided.out);
        ASSERT_EQ(pieces.size(), row.pieceLengths.size()) << row.size;
        EXPECT_EQ(ReadFile(dir / "report.pdf(copy).divide"), "keep");

        std::string joined;
        uint32_t firstId = 0;
        for (size_t i = 0; i < pieces.size(); ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "report.pdf(%02zu_of_%02zu).divide", i + 1,
                          pieces.size());
            EXPECT_EQ(pieces[i], name);
            std::string piece = ReadFile(dir / pieces[i]);
            EXPECT_EQ(piece.size(), row.pieceLengths[i]) << name;
            uint32_t id = 0;
            joined += ReadPiece(piece, &id);
            if (i == 0)
                firstId = id;
            EXPECT_EQ(id, firstId) << name;
        }
        EXPECT_TRUE(row.size == 0 || (firstId >= before && firstId <= before + 5)) << firstId;
        EXPECT_TRUE(joined == original) << row.size;

        EXPECT_EQ(RunSundrel(dir.path(), {"verify", pieces.back()}).exitCode, 0) << row.size;
        mkdir((dir / "out").c_str(), 0700);
        RunResult merged =
            RunSundrel(dir.path(), {"merge", pieces.front(), "-o", "out", "--remove-pieces"});
        ASSERT_EQ(merged.exitCode, 0) << merged.err;
        std::vector<std::string> out = FilesIn(dir / "out");
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].rfind("report(", 0), 0u) << out[0];
        EXPECT_EQ(out[0].substr(out[0].size() - 4), ".pdf") << out[0];
        EXPECT_EQ(Lines(merged.out), std::vector<std::string>{"out/" + out[0]});
        EXPECT_TRUE(ReadFile(dir / ("out/" + out[0])) == original) << row.size;
        EXPECT_EQ(FilesIn(dir.path()),
                  (std::vector<std::string>{"out", "report.pdf", "report.pdf(copy).divide"}));
    }
}

TEST(DivideMerge, RefusalsLeaveNothingBehind)
{
    const std::string kPieceMiBRange =
        "from " + std::to_string(kMinPieceMiB) + " to " + std::to_string(kMaxPieceMiB);
    struct Row {
        const char* what;
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    } rows[] = {
        {"too many pieces", {"divide", "-s", "1", "big"}, 1, "would be divided into 100 pieces"},
        {"missing output folder", {"divide", "big", "-o", "nowhere"}, 2, "is not a folder"},
        {"folder as file", {"divide", "."}, 2, "A folder was given"},
        {"missing source", {"divide", "gone"}, 2, "does not exist"},
        {"limit too small", {"divide", "--mail-limit", "1MB", "big"}, 2, "cannot carry"},
        {"both sizes", {"divide", "-s", "2", "--mail-limit", "25MB", "big"}, 2, "together"},
        {"piece size 0", {"divide", "-s", "0", "big"}, 2, kPieceMiBRange},
        {"piece size too large", {"divide", "-s", std::to_string(kMaxPieceMiB + 1), "big"}, 2,
         kPieceMiBRange},
        {"cut piece", {"merge", "p(01_of_02).divide"}, 1, "Divide data is corrupted: p(01_of_02).divide"},
        {"merge into a missing folder", {"merge", "p(02_of_02).divide", "-o", "x"}, 2, "is not a folder"},
    };
    for (const Row& row : rows) {
        ScratchFolder dir;
        // 99 MiB and one byte, sparse: 100 pieces of 1 MiB.
        WriteFile(dir / "big", "");
        ASSERT_EQ(truncate((dir / "big").c_str(), 99 * (1 << 20) + 1), 0);
        // A set of two whose first piece is one block short.
        WriteFile(dir / "p", SampleBytes((1 << 20) + 100, 3));
        ASSERT_EQ(RunSundrel(dir.path(), {"divide", "-s", "1", "p"}).exitCode, 0);
        std::string first = ReadFile(dir / "p(01_of_02).divide");
        WriteFile(dir / "p(01_of_02).divide", first.substr(0, first.size() - 4098));
        std::vector<std::string> before = FilesIn(dir.path());

        RunResult run = RunSundrel(dir.path(), row.args);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.what << "\n" << run.err;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << row.what << "\n" << run.err;
        EXPECT_EQ(FilesIn(dir.path()), before) << row.what;
    }
}

TEST(DivideMerge, MailLimitPicksTheLargestPieceThatFits)
{
    // Encoded size of a full piece of m MiB: base64 in 76-character lines
    // with CRLF, and the stated allowance of 64 KiB for headers.
    auto mailBytes = [](uint64_t miB) {
        uint64_t length = 4 + miB * 256 * 4098;
        uint64_t chars = (length + 2) / 3 * 4;
        return chars + 2 * ((chars + 75) / 76) + 65536;
    };
    struct Row {
        const char* limit;
        uint64_t bytes;
    } rows[] = {{"25MB", 25000000},  {"10MB", 10000000},          {"20MiB", 20u << 20},
                {"150000000", 150000000}, {"--mail-limit=5GiB", 5ull << 30}, {"10GB", 10000000000}};
    for (const Row& row : rows) {
        ScratchFolder dir;
        WriteFile(dir / "a", "x");
        std::vector<std::string> args = {"divide", "--mail-limit", row.limit, "a"};
        if (std::string(row.limit).rfind("--", 0) == 0)
            args = {"divide", row.limit, "a"};
        RunResult run = RunSundrel(dir.path(), args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        unsigned miB = 0;
        size_t at = run.err.find("pieces of ");
        ASSERT_NE(at, std::string::npos) << run.err;
        miB = unsigned(std::stoul(run.err.substr(at + 10)));
        // What is announced is what is used: the largest piece size, said
        // so, when the limit allows more.
        uint32_t id = 0;
        EXPECT_EQ(ReadPiece(ReadFile(dir / "a(01_of_01).divide"), &id), "x");
        if (mailBytes(4096) <= row.bytes) {
            EXPECT_EQ(miB, 4095u) << row.limit;
            EXPECT_NE(run.err.find("larger than the largest piece size"), std::string::npos) << run.err;
            RunResult json = RunSundrel(dir.path(), {"divide", "-f", "--json", "--mail-limit", "10GB", "a"});
            EXPECT_NE(json.out.find("\"pieceMiB\":4095"), std::string::npos) << json.out;
            continue;
        }
        EXPECT_LE(mailBytes(miB), row.bytes) << row.limit;
        EXPECT_GT(mailBytes(miB + 1), row.bytes) << row.limit;
    }
}

}  // namespace
}  // namespace sundrel::test

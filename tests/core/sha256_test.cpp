#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "pseudo_random.h"
#include "sha256.h"

namespace sundrel {
namespace {

Sha256Digest HashWith(const Sha256Path& path, const uint8_t* data, size_t len)
{
    Sha256 hasher(path);
    hasher.Update(data, len);
    return hasher.Finish();
}

// The examples of the standard: one block, a length field pushed into a
// second block (448 bits), two blocks, and a million bytes.
TEST(Sha256, EveryPathGivesTheStandardsExamples)
{
    struct Example {
        std::string message;
        const char* digest;
    };
    const Example examples[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopq"
         "rstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    const std::vector<Sha256Path> paths = ListedPaths(AvailableSha256Paths);
    ASSERT_FALSE(paths.empty());
    EXPECT_STREQ(paths.front().name, "portable");
    for (const Example& example : examples) {
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(example.message.data());
        EXPECT_EQ(Sha256Hex(Sha256Of(bytes, example.message.size())), example.digest);
        for (const Sha256Path& path : paths)
            EXPECT_EQ(Sha256Hex(HashWith(path, bytes, example.message.size())), example.digest)
                << path.name << ", " << example.message.size() << " bytes";
    }
}

// Every length over many blocks, at alignments that put the vector loads
// across every kind of boundary.
TEST(Sha256, EveryPathAgreesWithThePortableOne)
{
    const std::vector<Sha256Path> paths = ListedPaths(AvailableSha256Paths);
    const std::vector<uint8_t> data = PseudoRandomBytes(1200);
    for (size_t offset : {0, 1, 7})
        for (size_t len = 0; len + offset <= data.size(); ++len) {
            const Sha256Digest expected = HashWith(paths.front(), data.data() + offset, len);
            for (const Sha256Path& path : paths)
                ASSERT_EQ(HashWith(path, data.data() + offset, len), expected)
                    << path.name << ", offset " << offset << ", length " << len;
        }
}

// The message in three runs cut at every pair of points, and byte by byte,
// all through one hasher that starts anew after each digest.
TEST(Sha256, AnyCutOfTheRunsGivesTheSameDigest)
{
    const std::vector<uint8_t> data = PseudoRandomBytes(300);
    const uint8_t* p = data.data();
    const Sha256Digest whole = Sha256Of(p, data.size());
    Sha256 hasher;
    for (size_t i = 0; i <= data.size(); ++i)
        for (size_t j = i; j <= data.size(); ++j) {
            hasher.Update(p, i);
            hasher.Update(p + i, j - i);
            hasher.Update(p + j, data.size() - j);
            ASSERT_EQ(hasher.Finish(), whole) << "cut at " << i << " and " << j;
        }
    for (uint8_t byte : data)
        hasher.Update(&byte, 1);
    EXPECT_EQ(hasher.Finish(), whole);
}

// Two messages through UpdatePair, every pairing of paths, each hasher
// first left with none, part of or a whole block of its own: the digests of
// hashing each alone. The lengths cut blocks anywhere and give either side
// more whole blocks than the other.
TEST(Sha256, UpdatePairGivesTheDigestsOfSeparateUpdates)
{
    const std::vector<Sha256Path> paths = ListedPaths(AvailableSha256Paths);
    const std::vector<uint8_t> first = PseudoRandomBytes(2000, 1), second = PseudoRandomBytes(2000, 2);
    const size_t heads[] = {0, 1, 63, 64, 65};
    const size_t lengths[] = {0, 1, 62, 64, 65, 130, 191, 1001};
    for (const Sha256Path& pathA : paths)
        for (const Sha256Path& pathB : paths)
            for (size_t headA : heads)
                for (size_t headB : heads)
                    for (size_t lenA : lengths)
                        for (size_t lenB : lengths) {
                            Sha256 a(pathA), b(pathB);
                            a.Update(first.data(), headA);
                            b.Update(second.data(), headB);
                            UpdatePair(a, first.data() + headA, lenA, b, second.data() + headB, lenB);
                            // A second pair after the first, as a stream of runs goes on.
                            UpdatePair(a, first.data() + headA + lenA, 131, b, second.data() + headB + lenB, 67);
                            ASSERT_EQ(a.Finish(), HashWith(paths.front(), first.data(), headA + lenA + 131))
                                << pathA.name << "/" << pathB.name << ", heads " << headA << "/" << headB
                                << ", lengths " << lenA << "/" << lenB;
                            ASSERT_EQ(b.Finish(), HashWith(paths.front(), second.data(), headB + lenB + 67))
                                << pathA.name << "/" << pathB.name << ", heads " << headA << "/" << headB
                                << ", lengths " << lenA << "/" << lenB;
                        }
}

TEST(Sha256, UpdatePairOfOneHasherHashesBothRunsInOrder)
{
    const std::vector<uint8_t> data = PseudoRandomBytes(1000);
    for (const Sha256Path& path : ListedPaths(AvailableSha256Paths)) {
        Sha256 hasher(path);
        UpdatePair(hasher, data.data(), 300, hasher, data.data() + 300, 700);
        EXPECT_EQ(hasher.Finish(), Sha256Of(data.data(), data.size())) << path.name;
    }
}

TEST(Sha256, ResetDropsWhatWasHashed)
{
    const std::vector<uint8_t> data = PseudoRandomBytes(100);
    Sha256 hasher;
    hasher.Update(data.data(), data.size());
    hasher.Reset();
    hasher.Update("abc", 3);
    EXPECT_EQ(Sha256Hex(hasher.Finish()), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(Sha256Hex, ReadsBackWhatItWritesAndNothingElse)
{
    const std::vector<uint8_t> data = PseudoRandomBytes(10);
    const Sha256Digest digest = Sha256Of(data.data(), data.size());
    const std::string hex = Sha256Hex(digest);
    ASSERT_EQ(hex.size(), kSha256HexLength);
    EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos);

    std::string upper = hex;
    for (char& c : upper)
        c = (char)toupper((unsigned char)c);
    for (const std::string& text : {hex, upper}) {
        Sha256Digest parsed{};
        EXPECT_TRUE(ParseSha256Hex(text, &parsed)) << text;
        EXPECT_EQ(parsed, digest) << text;
    }

    const std::string wrong[] = {
        "", hex.substr(1), hex + "0", " " + hex.substr(1), hex.substr(0, 63) + "g",
        hex.substr(0, 31) + std::string(1, '\0') + hex.substr(32), hex.substr(0, 62) + "0x",
    };
    for (const std::string& text : wrong) {
        Sha256Digest parsed = digest;
        EXPECT_FALSE(ParseSha256Hex(text, &parsed)) << text;
        EXPECT_EQ(parsed, digest) << text;
    }
}

}  // namespace
}  // namespace sundrel

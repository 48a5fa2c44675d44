// OpenSSL's SHA-256 as the oracle: built only where its headers are.
#include <gtest/gtest.h>
#include <openssl/sha.h>

#include <algorithm>
#include <random>
#include <vector>

#include "sha256.h"

namespace sundrel {
namespace {

Sha256Digest OpenSslSha256(const uint8_t* data, size_t len)
{
    Sha256Digest digest;
    SHA256(data, len, digest.data());
    return digest;
}

// Through every path, in runs of random lengths, as a reader hands them over.
Sha256Digest HashInRuns(const Sha256Path& path, const uint8_t* data, size_t len, size_t longestRun,
                        std::mt19937& random)
{
    Sha256 hasher(path);
    while (len > 0) {
        size_t run = std::uniform_int_distribution<size_t>(0, longestRun)(random);
        run = run < len ? run : len;
        hasher.Update(data, run);
        data += run;
        len -= run;
    }
    return hasher.Finish();
}

TEST(Sha256, AgreesWithOpenSsl)
{
    std::mt19937 random(20260514);
    std::vector<uint8_t> data((3 << 20) + 4099);
    for (auto& byte : data)
        byte = (uint8_t)random();

    size_t count = 0;
    const Sha256Path* paths = AvailableSha256Paths(&count);
    for (const Sha256Path& path : std::vector<Sha256Path>(paths, paths + count)) {
        for (int sample = 0; sample < 300; ++sample) {
            const size_t len = std::uniform_int_distribution<size_t>(0, 10000)(random);
            const size_t offset = std::uniform_int_distribution<size_t>(0, 63)(random);
            ASSERT_EQ(HashInRuns(path, &data[offset], len, 300, random), OpenSslSha256(&data[offset], len))
                << path.name << ", offset " << offset << ", length " << len;
        }
        EXPECT_EQ(HashInRuns(path, data.data(), data.size(), 1 << 20, random),
                  OpenSslSha256(data.data(), data.size()))
            << path.name;
    }
}

// Two messages at once in runs of random lengths, each side its own, from
// odd offsets: both digests are OpenSSL's.
TEST(Sha256, UpdatePairAgreesWithOpenSsl)
{
    std::mt19937 random(20261208);
    std::vector<uint8_t> data(1 << 20);
    for (auto& byte : data)
        byte = (uint8_t)random();

    size_t count = 0;
    const Sha256Path* paths = AvailableSha256Paths(&count);
    for (const Sha256Path& path : std::vector<Sha256Path>(paths, paths + count))
        for (int sample = 0; sample < 100; ++sample) {
            const size_t lenA = std::uniform_int_distribution<size_t>(0, 20000)(random);
            const size_t lenB = std::uniform_int_distribution<size_t>(0, 20000)(random);
            const size_t offsetA = std::uniform_int_distribution<size_t>(0, 63)(random);
            const size_t offsetB = std::uniform_int_distribution<size_t>(1 << 19, (1 << 19) + 63)(random);
            const uint8_t* pa = &data[offsetA];
            const uint8_t* pb = &data[offsetB];
            Sha256 a(path), b(path);
            for (size_t doneA = 0, doneB = 0; doneA < lenA || doneB < lenB;) {
                const size_t runA = std::min(std::uniform_int_distribution<size_t>(0, 3000)(random), lenA - doneA);
                const size_t runB = std::min(std::uniform_int_distribution<size_t>(0, 3000)(random), lenB - doneB);
                UpdatePair(a, pa + doneA, runA, b, pb + doneB, runB);
                doneA += runA;
                doneB += runB;
            }
            ASSERT_EQ(a.Finish(), OpenSslSha256(pa, lenA)) << path.name << ", offset " << offsetA << ", length " << lenA;
            ASSERT_EQ(b.Finish(), OpenSslSha256(pb, lenB)) << path.name << ", offset " << offsetB << ", length " << lenB;
        }
}

}  // namespace
}  // namespace sundrel

// ISA-L as the oracle of the recovery code: handed our coefficient matrix,
// its encoder must make byte-identical recovery shards. Built only where
// ISA-L is installed; never part of the programs.
#include <gtest/gtest.h>

#include <isa-l/erasure_code.h>

#include <random>
#include <vector>

#include "gf256.h"
#include "recovery_code.h"

namespace sundrel {
namespace {

TEST(RecoveryCodeIsal, SameFieldAsIsal)
{
    for (unsigned a = 0; a < 256; ++a) {
        for (unsigned b = 0; b < 256; ++b)
            ASSERT_EQ(GfMul((uint8_t)a, (uint8_t)b), gf_mul((unsigned char)a, (unsigned char)b)) << a << "·" << b;
        ASSERT_EQ(GfInv((uint8_t)a), gf_inv((unsigned char)a)) << a;
    }
}

TEST(RecoveryCodeIsal, IsalEncodesTheSameRecoveryShards)
{
    struct Case {
        size_t dataCount;
        std::vector<size_t> indexes;
        size_t len;
    };
    const Case cases[] = {
        {1, {0}, 64},        {2, {0, 1}, 100},  {10, {0}, 4096},       {10, {0, 1, 2, 3}, 4096},
        {32, {0, 1, 2, 3}, 1000}, {99, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 4096},
        {254, {0}, 640},     {5, {7, 3, 200}, 96},
    };
    std::mt19937 random(6);
    for (const Case& c : cases) {
        const size_t k = c.dataCount, m = c.indexes.size();
        std::vector<std::vector<uint8_t>> data(k, std::vector<uint8_t>(c.len));
        std::vector<uint8_t*> dataPointers;
        for (auto& shard : data) {
            for (auto& byte : shard)
                byte = (uint8_t)random();
            dataPointers.push_back(shard.data());
        }
        std::vector<uint8_t> matrix;
        for (size_t j : c.indexes)
            for (size_t i = 0; i < k; ++i)
                matrix.push_back(RecoveryCoefficient(j, i));
        std::vector<uint8_t> tables(32 * k * m);
        ec_init_tables((int)k, (int)m, matrix.data(), tables.data());

        std::vector<std::vector<uint8_t>> ours(m, std::vector<uint8_t>(c.len)), theirs = ours;
        std::vector<uint8_t*> ourPointers, theirPointers;
        for (size_t n = 0; n < m; ++n) {
            ourPointers.push_back(ours[n].data());
            theirPointers.push_back(theirs[n].data());
        }
        ec_encode_data((int)c.len, (int)k, (int)m, tables.data(), dataPointers.data(), theirPointers.data());
        RecoveryEncoder encoder;
        ASSERT_EQ(encoder.Prepare(k, c.indexes.data(), m), RecoveryStatus::Ok);
        encoder.Encode(dataPointers.data(), ourPointers.data(), c.len);
        for (size_t n = 0; n < m; ++n)
            ASSERT_EQ(ours[n], theirs[n]) << "recovery shard " << c.indexes[n] << " of " << k << " data shards";
    }
}

}  // namespace
}  // namespace sundrel

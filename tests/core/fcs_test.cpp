#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fcs.h"
#include "pseudo_random.h"

namespace sundrel {
namespace {

// One bit at a time, as the definition of the register reads.
uint16_t BitwiseStep(uint16_t crc, uint8_t byte)
{
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 1) ? (uint16_t)((crc >> 1) ^ 0x8408) : (uint16_t)(crc >> 1);
    return crc;
}

TEST(Fcs, EveryPathGivesTheCheckValue)
{
    const std::vector<FcsPath> paths = ListedPaths(AvailableFcsPaths);
    ASSERT_FALSE(paths.empty());
    EXPECT_STREQ(paths.front().name, "table");
    for (const FcsPath& path : paths) {
        const char* text = "123456789";
        EXPECT_EQ(path.update(0xFFFF, reinterpret_cast<const uint8_t*>(text), 9) ^ 0xFFFF, 0x906E) << path.name;
    }
}

// Every length from none to a full block with its FCS, at alignments that
// put the vector loads across every kind of boundary, from registers that
// continue earlier data: each path must agree with the bitwise register.
TEST(Fcs, EveryPathAgreesWithTheBitwiseRegister)
{
    const size_t kMaxLength = 4098;
    const size_t kOffsets[] = {0, 1, 3, 7, 15, 33};
    const uint16_t kStarts[] = {0xFFFF, 0x0000, 0x5A3C};
    const std::vector<uint8_t> data = PseudoRandomBytes(kMaxLength + 64);
    for (const FcsPath& path : ListedPaths(AvailableFcsPaths))
        for (size_t offset : kOffsets)
            for (uint16_t start : kStarts) {
                const uint8_t* bytes = data.data() + offset;
                uint16_t expected = start;
                for (size_t len = 0; len <= kMaxLength; ++len) {
                    ASSERT_EQ(path.update(start, bytes, len), expected)
                        << path.name << ", offset " << offset << ", length " << len << ", start " << start;
                    expected = BitwiseStep(expected, bytes[len]);
                }
            }
}

}  // namespace
}  // namespace sundrel

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "qoc.h"

namespace {

// A block of data bytes followed by its FCS, low byte first.
std::vector<uint8_t> Framed(const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> framed(data);
    uint16_t fcs = QocBlkFCS(data.data(), data.size());
    framed.push_back((uint8_t)(fcs & 0xFF));
    framed.push_back((uint8_t)(fcs >> 8));
    return framed;
}

std::vector<uint8_t> PseudoRandomBlock(size_t len)
{
    std::vector<uint8_t> data(len);
    uint32_t state = 0x12345678;
    for (auto& byte : data) {
        state = state * 1664525u + 1013904223u;
        byte = (uint8_t)(state >> 24);
    }
    return data;
}

// Bit by bit, as the definition of the check reads.
uint16_t BitwiseFcs(const uint8_t* p, size_t len)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < len; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (uint16_t)((crc >> 1) ^ 0x8408) : (uint16_t)(crc >> 1);
    }
    return (uint16_t)(crc ^ 0xFFFF);
}

TEST(SupportCheck, KnownCheckValue)
{
    EXPECT_EQ(QocBlkFCS("123456789", 9), 0x906E);
    EXPECT_EQ(QocBlkFCS("", 0), 0x0000);
}

TEST(SupportCheck, AgreesWithTheBitwiseDefinitionAtEveryLength)
{
    std::vector<uint8_t> data = PseudoRandomBlock(40);
    for (size_t offset = 0; offset < 8; ++offset)
        for (size_t len = 0; offset + len <= data.size(); ++len)
            ASSERT_EQ(QocBlkFCS(data.data() + offset, len), BitwiseFcs(data.data() + offset, len))
                << "offset " << offset << " length " << len;
}

TEST(SupportCheck, RoundTripIsStoredLowByteFirst)
{
    std::vector<uint8_t> framed = Framed({'1', '2', '3', '4', '5', '6', '7', '8', '9'});
    EXPECT_EQ(framed[9], 0x6E);
    EXPECT_EQ(framed[10], 0x90);
    EXPECT_NE(QocChkFCS(framed.data(), framed.size()), 0);
    std::swap(framed[9], framed[10]);
    EXPECT_EQ(QocChkFCS(framed.data(), framed.size()), 0);

    std::vector<uint8_t> full = Framed(PseudoRandomBlock(4096));
    EXPECT_NE(QocChkFCS(full.data(), full.size()), 0);
    std::vector<uint8_t> one = Framed({0x00});
    EXPECT_NE(QocChkFCS(one.data(), one.size()), 0);
}

TEST(SupportCheck, FewerThanTwoBytesAreNeverIntact)
{
    const uint8_t zeros[2] = {0, 0};   // the FCS of no bytes is 0x0000
    EXPECT_EQ(QocChkFCS(zeros, 0), 0);
    EXPECT_EQ(QocChkFCS(zeros, 1), 0);
    EXPECT_NE(QocChkFCS(zeros, 2), 0);
}

TEST(SupportCheck, EverySingleBitFlipInABlockIsDetected)
{
    std::vector<uint8_t> framed = Framed(PseudoRandomBlock(4096));
    for (size_t bit = 0; bit < framed.size() * 8; ++bit) {
        framed[bit / 8] ^= (uint8_t)(1u << (bit % 8));
        ASSERT_EQ(QocChkFCS(framed.data(), framed.size()), 0) << "bit " << bit;
        framed[bit / 8] ^= (uint8_t)(1u << (bit % 8));
    }
    EXPECT_NE(QocChkFCS(framed.data(), framed.size()), 0);
}

TEST(SupportCheck, EverySwapOfAdjacentBytesIsDetected)
{
    std::vector<uint8_t> framed = Framed(PseudoRandomBlock(4096));
    for (size_t i = 0; i + 1 < framed.size(); ++i) {
        if (framed[i] == framed[i + 1]) continue;
        std::swap(framed[i], framed[i + 1]);
        ASSERT_EQ(QocChkFCS(framed.data(), framed.size()), 0) << "swap at " << i;
        std::swap(framed[i], framed[i + 1]);
    }
}

}  // namespace

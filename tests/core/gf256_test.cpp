#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gf256.h"
#include "gf256_region.h"
#include "pseudo_random.h"

namespace sundrel {
namespace {

// Shift-and-add multiplication reduced by 0x11D, as the field is defined.
uint8_t BitwiseMul(uint8_t a, uint8_t b)
{
    unsigned product = 0, x = a;
    for (; b; b >>= 1) {
        if (b & 1)
            product ^= x;
        x <<= 1;
        if (x & 0x100)
            x ^= 0x11D;
    }
    return (uint8_t)product;
}

// GF2P8AFFINEQB on one byte, as the instruction is defined: bit i of the
// result is the parity of x under byte 7 - i of the matrix.
uint8_t AffineByte(uint64_t matrix, uint8_t x)
{
    uint8_t result = 0;
    for (int i = 0; i < 8; ++i) {
        unsigned row = (unsigned)(matrix >> (8 * (7 - i))) & 0xFF;
        unsigned bits = row & x, parity = 0;
        for (; bits; bits &= bits - 1)
            parity ^= 1;
        result |= (uint8_t)(parity << i);
    }
    return result;
}

TEST(Gf256, ProductsAndInversesFollowTheField)
{
    for (unsigned a = 0; a < 256; ++a) {
        for (unsigned b = 0; b < 256; ++b)
            ASSERT_EQ(GfMul((uint8_t)a, (uint8_t)b), BitwiseMul((uint8_t)a, (uint8_t)b)) << a << "·" << b;
        if (a != 0) {
            ASSERT_EQ(BitwiseMul((uint8_t)a, GfInv((uint8_t)a)), 1) << "inverse of " << a;
        }
    }
    // 2 generates the field: its powers reach every nonzero element.
    std::vector<bool> reached(256);
    uint8_t power = 1;
    for (int i = 0; i < 255; ++i, power = BitwiseMul(power, 2))
        reached[power] = true;
    for (unsigned a = 1; a < 256; ++a)
        EXPECT_TRUE(reached[a]) << a;
}

// Every form of every coefficient multiplies every byte alike.
TEST(Gf256, MultiplierFormsAgree)
{
    for (unsigned c = 0; c < 256; ++c) {
        const GfMultiplier m = MakeGfMultiplier((uint8_t)c);
        for (unsigned x = 0; x < 256; ++x) {
            const uint8_t expected = BitwiseMul((uint8_t)c, (uint8_t)x);
            ASSERT_EQ(m.low[x & 15] ^ m.high[x >> 4], expected) << c << "·" << x;
            ASSERT_EQ(AffineByte(m.affine, (uint8_t)x), expected) << c << "·" << x;
        }
    }
}

// Sources and destinations in buffers with guard bytes around them, each at
// an offset of its own from a 64-byte boundary.
struct DotCase {
    size_t sourceCount, destCount, len, offset;
};

class DotFixture {
public:
    explicit DotFixture(const DotCase& c) : c_(c)
    {
        for (size_t s = 0; s < c.sourceCount; ++s)
            sourceBuffers_.push_back(PseudoRandomBytes(c.len + 192, (uint32_t)(s * 7919 + c.len)));
        for (size_t d = 0; d < c.destCount; ++d)
            destBuffers_.emplace_back(c.len + 192, kGuard);
        coefficients_ = PseudoRandomBytes(c.sourceCount * c.destCount, (uint32_t)(c.len * 31 + c.offset));
        // The coefficients 0 and 1 are the ones a shortcut would get wrong.
        if (!coefficients_.empty()) {
            coefficients_.front() = 0;
            coefficients_.back() = 1;
        }
        for (uint8_t coefficient : coefficients_)
            multipliers_.push_back(MakeGfMultiplier(coefficient));
        for (size_t s = 0; s < c.sourceCount; ++s)
            sources_.push_back(Aligned(sourceBuffers_[s].data()) + (c.offset + 5 * s) % 64);
        for (size_t d = 0; d < c.destCount; ++d)
            dests_.push_back(Aligned(destBuffers_[d].data()) + (c.offset + 11 * d) % 64);
    }

    void Run(const GfRegionPath& path)
    {
        path.dotProducts(multipliers_.data(), sources_.data(), c_.sourceCount, dests_.data(), c_.destCount, c_.len);
    }

    // "" when every destination holds its dot product and no byte around it changed.
    std::string Fault() const
    {
        for (size_t d = 0; d < c_.destCount; ++d) {
            const uint8_t* begin = destBuffers_[d].data();
            const uint8_t* end = begin + destBuffers_[d].size();
            for (const uint8_t* p = begin; p < end; ++p) {
                const size_t i = (size_t)(p - dests_[d]);
                const bool inside = p >= dests_[d] && i < c_.len;
                uint8_t expected = kGuard;
                if (inside) {
                    expected = 0;
                    for (size_t s = 0; s < c_.sourceCount; ++s)
                        expected ^= GfMul(coefficients_[d * c_.sourceCount + s], sources_[s][i]);
                }
                if (*p != expected)
                    return "destination " + std::to_string(d) + (inside ? ", byte " : ", guard byte at ") +
                           std::to_string(inside ? i : (size_t)(p - begin));
            }
        }
        return "";
    }

private:
    static constexpr uint8_t kGuard = 0xA5;
    static uint8_t* Aligned(uint8_t* p) { return p + 64 - (uintptr_t)p % 64; }

    DotCase c_;
    std::vector<std::vector<uint8_t>> sourceBuffers_, destBuffers_;
    std::vector<uint8_t> coefficients_;
    std::vector<GfMultiplier> multipliers_;
    std::vector<const uint8_t*> sources_;
    std::vector<uint8_t*> dests_;
};

void ExpectPathComputes(const GfRegionPath& path, const DotCase& c)
{
    DotFixture fixture(c);
    fixture.Run(path);
    const std::string fault = fixture.Fault();
    ASSERT_EQ(fault, "") << path.name << ": " << c.sourceCount << " sources, " << c.destCount << " destinations, "
                         << c.len << " bytes, offset " << c.offset;
}

// Every length up to 200 and a few longer ones, at every offset from a
// 64-byte boundary: the vector loops, their ends and masks meet every case.
TEST(Gf256, EveryPathAtEveryLengthAndOffset)
{
    std::vector<size_t> lengths;
    for (size_t len = 0; len <= 200; ++len)
        lengths.push_back(len);
    for (size_t len : {255, 256, 257, 1000, 4095, 4096, 4097})
        lengths.push_back(len);
    for (const GfRegionPath& path : ListedPaths(AvailableGfRegionPaths))
        for (size_t len : lengths)
            for (size_t offset = 0; offset < 64; ++offset)
                ExpectPathComputes(path, {3, 2, len, offset});
}

// Destination counts across the group sizes of the vector paths, and source
// counts from none to many.
TEST(Gf256, EveryPathForEveryShapeOfProduct)
{
    for (const GfRegionPath& path : ListedPaths(AvailableGfRegionPaths))
        for (size_t sourceCount : {0, 1, 2, 5, 17, 100})
            for (size_t destCount = 1; destCount <= 19; ++destCount)
                for (size_t len : {1, 63, 64, 130, 1029})
                    ExpectPathComputes(path, {sourceCount, destCount, len, destCount + sourceCount});
}

TEST(Gf256, PortablePathIsAlwaysThere)
{
    const std::vector<GfRegionPath> paths = ListedPaths(AvailableGfRegionPaths);
    ASSERT_FALSE(paths.empty());
    EXPECT_STREQ(paths.front().name, "portable");
    EXPECT_EQ(FastestGfDotProducts(), paths.back().dotProducts);
}

}  // namespace
}  // namespace sundrel

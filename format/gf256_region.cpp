// The coefficient forms of the region paths, and the choice of path, made
// once per process.
#include "gf256_region.h"

#include "cpu_features.h"
#include "gf256.h"
#include "gf256_paths.h"

namespace sundrel {

GfMultiplier MakeGfMultiplier(uint8_t c)
{
    GfMultiplier m{};
    for (unsigned x = 0; x < 16; ++x) {
        m.low[x] = GfMul(c, (uint8_t)x);
        m.high[x] = GfMul(c, (uint8_t)(x << 4));
    }
    // Bit i of c·x is the parity of x under row i, which GF2P8AFFINEQB
    // takes from byte 7 - i of the matrix: row i holds bit i of c·2^j at j.
    for (unsigned j = 0; j < 8; ++j) {
        const uint8_t column = GfMul(c, (uint8_t)(1u << j));
        for (unsigned i = 0; i < 8; ++i)
            if ((column >> i) & 1)
                m.affine |= uint64_t(1) << (8 * (7 - i) + j);
    }
    return m;
}

namespace {

struct GfRegionPathList {
    GfRegionPath paths[4];
    size_t count;
};

GfRegionPathList DetectGfRegionPaths()
{
    GfRegionPathList list{{{"portable", GfDotProductsPortable}}, 1};
#if defined(__x86_64__) || defined(_M_X64)
    const CpuFeatures cpu = DetectCpuFeatures();
    if (cpu.ssse3)
        list.paths[list.count++] = {"ssse3", GfDotProductsSsse3};
    if (cpu.avx2)
        list.paths[list.count++] = {"avx2", GfDotProductsAvx2};
    if (cpu.gfniAvx512)
        list.paths[list.count++] = {"gfni-avx512", GfDotProductsGfni};
#endif
    return list;
}

// Decided once: the processor does not change under a running process.
const GfRegionPathList& GfRegionPaths()
{
    static const GfRegionPathList list = DetectGfRegionPaths();
    return list;
}

}  // namespace

const GfRegionPath* AvailableGfRegionPaths(size_t* count)
{
    *count = GfRegionPaths().count;
    return GfRegionPaths().paths;
}

GfDotProducts FastestGfDotProducts()
{
    const GfRegionPathList& list = GfRegionPaths();
    return list.paths[list.count - 1].dotProducts;
}

}  // namespace sundrel

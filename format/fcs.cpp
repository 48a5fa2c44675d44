// The FCS and the choice of its path, made once per process.
#include "fcs.h"

#include "cpu_features.h"
#include "fcs_paths.h"

namespace sundrel {

namespace {

struct FcsPathList {
    FcsPath paths[4];
    size_t count;
};

FcsPathList DetectFcsPaths()
{
    FcsPathList list{{{"table", FcsUpdateTable}, {"table16", FcsUpdateTable16}}, 2};
#if defined(__x86_64__) || defined(_M_X64)
    const CpuFeatures cpu = DetectCpuFeatures();
    if (cpu.pclmul)
        list.paths[list.count++] = {"pclmul", FcsUpdateClmul};
    if (cpu.avx512clmul)
        list.paths[list.count++] = {"vpclmul-avx512", FcsUpdateAvx512};
#endif
    return list;
}

// Decided once: the processor does not change under a running process.
const FcsPathList& FcsPaths()
{
    static const FcsPathList list = DetectFcsPaths();
    return list;
}

}  // namespace

const FcsPath* AvailableFcsPaths(size_t* count)
{
    *count = FcsPaths().count;
    return FcsPaths().paths;
}

uint16_t Fcs16(const void* data, size_t len)
{
    if (data == nullptr)
        len = 0;
    const FcsPathList& list = FcsPaths();
    const FcsPath& fastest = list.paths[list.count - 1];
    return (uint16_t)(fastest.update(0xFFFF, static_cast<const uint8_t*>(data), len) ^ 0xFFFF);
}

bool FcsMatches(const void* chunk, size_t len)
{
    if (chunk == nullptr || len < 2)
        return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(chunk);
    uint16_t stored = (uint16_t)(bytes[len - 2] | (bytes[len - 1] << 8));
    return Fcs16(bytes, len - 2) == stored;
}

}  // namespace sundrel

// The FCS and the choice of its path, made once per process.
#include "fcs.h"

#include "fcs_paths.h"

namespace sundrel {

namespace {

const FcsPath kPaths[] = {
    {"table", FcsUpdateTable},
};

const FcsPath& FastestPath()
{
    static const FcsPath& path = [] () -> const FcsPath& {
        size_t count = 0;
        const FcsPath* paths = AvailableFcsPaths(&count);
        return paths[count - 1];
    }();
    return path;
}

}  // namespace

const FcsPath* AvailableFcsPaths(size_t* count)
{
    *count = sizeof kPaths / sizeof kPaths[0];
    return kPaths;
}

uint16_t Fcs16(const void* data, size_t len)
{
    if (data == nullptr)
        len = 0;
    return (uint16_t)(FastestPath().update(0xFFFF, static_cast<const uint8_t*>(data), len) ^ 0xFFFF);
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

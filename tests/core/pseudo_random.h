// Test data that is the same on every run and with every compiler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sundrel {

// Bytes of a linear congruential generator started at seed.
inline std::vector<uint8_t> PseudoRandomBytes(size_t len, uint32_t seed = 0x9E3779B9)
{
    std::vector<uint8_t> data(len);
    for (auto& byte : data) {
        seed = seed * 1664525u + 1013904223u;
        byte = (uint8_t)(seed >> 24);
    }
    return data;
}

// The paths a table of processor paths lists, as a vector.
template <typename Path>
std::vector<Path> ListedPaths(const Path* (*available)(size_t* count))
{
    size_t count = 0;
    const Path* paths = available(&count);
    return std::vector<Path>(paths, paths + count);
}

}  // namespace sundrel

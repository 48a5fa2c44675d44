// The same bytes on every run and platform, for tests that need many.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<uint8_t> PseudoRandomBytes(size_t len)
{
    std::vector<uint8_t> data(len);
    uint32_t state = 0x9E3779B9;
    for (auto& byte : data) {
        state = state * 1664525u + 1013904223u;
        byte = (uint8_t)(state >> 24);
    }
    return data;
}

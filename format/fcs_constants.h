// Folding constants of the carry-less FCS paths, written by
// tools/fcs_constants.py; do not edit. kFold<D> carries data D bits
// forward: {multiplier of the low quadword, of the high quadword}.
#pragma once

#include <cstdint>

namespace sundrel {

constexpr uint64_t kFold128[2] = {0xA95D000000000000, 0x7EEA000000000000};
constexpr uint64_t kFold256[2] = {0xAAC8000000000000, 0x20F3000000000000};
constexpr uint64_t kFold384[2] = {0x5159000000000000, 0x8F66000000000000};
constexpr uint64_t kFold512[2] = {0x9822000000000000, 0x7F90000000000000};
constexpr uint64_t kFold1024[2] = {0x471C000000000000, 0x46D8000000000000};
constexpr uint64_t kFold1536[2] = {0x6AE6000000000000, 0x4DC8000000000000};
constexpr uint64_t kFold2048[2] = {0xFD1E000000000000, 0x157E000000000000};

}  // namespace sundrel

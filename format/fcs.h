// The FCS that guards every block: CRC-16/X-25 (the FCS-16 of HDLC and PPP),
// reflected polynomial 0x8408, initial value and final xor 0xFFFF, stored
// low byte first after the block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sundrel {

// FCS of len bytes.
uint16_t Fcs16(const void* data, size_t len);
// True when the last 2 of len bytes are the FCS of the bytes before them.
bool FcsMatches(const void* chunk, size_t len);

// The ways this processor can compute the FCS, fastest last; Fcs16 uses the
// last. For tests and the benchmark.
struct FcsPath {
    const char* name;
    // Runs the CRC register over len bytes; no initial value or final xor.
    uint16_t (*update)(uint16_t crc, const uint8_t* data, size_t len);
};
// The paths this process can run, fastest last; count gets their number.
const FcsPath* AvailableFcsPaths(size_t* count);

}  // namespace sundrel

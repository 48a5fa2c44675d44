// The implementations behind Fcs16, one file each. Every one runs the
// reflected CRC register over len bytes with no initial value or final xor,
// so that they are interchangeable at any length and alignment.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sundrel {

// Eight bytes at a time through eight tables (slicing-by-8); any processor.
uint16_t FcsUpdateTable(uint16_t crc, const uint8_t* data, size_t len);

}  // namespace sundrel

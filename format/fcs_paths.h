// The implementations behind Fcs16, one file each. Every one runs the
// reflected CRC register over len bytes with no initial value or final xor,
// so that they are interchangeable at any length and alignment.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sundrel {

// Eight bytes at a time through eight tables (slicing-by-8); any processor.
uint16_t FcsUpdateTable(uint16_t crc, const uint8_t* data, size_t len);
// Sixteen bytes at a time through sixteen tables; any processor.
uint16_t FcsUpdateTable16(uint16_t crc, const uint8_t* data, size_t len);

#if defined(__x86_64__) || defined(_M_X64)
// Carry-less multiplication on 16-byte lanes (PCLMULQDQ), four lanes at once.
uint16_t FcsUpdateClmul(uint16_t crc, const uint8_t* data, size_t len);
// The same on 64-byte vectors (VPCLMULQDQ with AVX-512).
uint16_t FcsUpdateAvx512(uint16_t crc, const uint8_t* data, size_t len);

// Ends a carry-less fold: lanes are four 16-byte lanes, the first furthest
// from the end, that stand for all the data before data; folds them into
// one, folds in the whole lanes of data, then runs the table over the folded
// lane and the bytes left. Needs PCLMULQDQ.
uint16_t FcsFinishLanes(const uint8_t lanes[64], const uint8_t* data, size_t len);
#endif

}  // namespace sundrel

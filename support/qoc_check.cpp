// FCS-16 of HDLC/PPP (CRC-16/X-25): reflected polynomial 0x8408, initial
// value and final xor 0xFFFF. Runs over every 4 KiB block of a piece, so it
// works eight bytes at a time (slicing-by-8).
#include "qoc.h"

#include <string.h>

namespace {

struct FcsTables {
    uint16_t t[8][256];
};

constexpr FcsTables MakeFcsTables()
{
    FcsTables tables{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0x8408 : crc >> 1;
        tables.t[0][i] = (uint16_t)crc;
    }
    // t[k][i]: byte i followed by k zero bytes.
    for (int k = 1; k < 8; ++k)
        for (unsigned i = 0; i < 256; ++i) {
            unsigned prev = tables.t[k - 1][i];
            tables.t[k][i] = (uint16_t)((prev >> 8) ^ tables.t[0][prev & 0xFF]);
        }
    return tables;
}

constexpr FcsTables kFcs = MakeFcsTables();

uint16_t FcsUpdate(uint16_t crc, const uint8_t* p, size_t len)
{
    const auto& t = kFcs.t;
    for (; len >= 8; len -= 8, p += 8) {
        unsigned lo = (p[0] ^ crc) & 0xFF;
        unsigned hi = (p[1] ^ (crc >> 8)) & 0xFF;
        crc = (uint16_t)(t[7][lo] ^ t[6][hi] ^ t[5][p[2]] ^ t[4][p[3]] ^
                         t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]]);
    }
    for (; len > 0; --len, ++p) crc = (uint16_t)((crc >> 8) ^ t[0][(crc ^ *p) & 0xFF]);
    return crc;
}

}  // namespace

uint16_t QocBlkFCS(const void* data, size_t len)
{
    if (data == nullptr) len = 0;
    return (uint16_t)(FcsUpdate(0xFFFF, static_cast<const uint8_t*>(data), len) ^ 0xFFFF);
}

int QocChkFCS(const void* data, size_t len)
{
    if (data == nullptr || len < 2) return 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint16_t stored = (uint16_t)(bytes[len - 2] | (bytes[len - 1] << 8));
    return QocBlkFCS(bytes, len - 2) == stored;
}

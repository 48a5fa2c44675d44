// The table paths of the FCS: slicing-by-8 and slicing-by-16 over one set
// of tables. Where there is no carry-less multiply (WebAssembly), by-16 is
// the faster: fewer dependent steps per byte.
#include "fcs_paths.h"

namespace sundrel {

namespace {

constexpr uint16_t kPolynomial = 0x8408;   // 0x1021 reflected

struct FcsTables {
    uint16_t t[16][256];
};

constexpr FcsTables MakeFcsTables()
{
    FcsTables tables{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ kPolynomial : crc >> 1;
        tables.t[0][i] = (uint16_t)crc;
    }
    // t[k][i]: byte i followed by k zero bytes.
    for (int k = 1; k < 16; ++k)
        for (unsigned i = 0; i < 256; ++i) {
            unsigned prev = tables.t[k - 1][i];
            tables.t[k][i] = (uint16_t)((prev >> 8) ^ tables.t[0][prev & 0xFF]);
        }
    return tables;
}

constexpr FcsTables kFcs = MakeFcsTables();

}  // namespace

uint16_t FcsUpdateTable(uint16_t crc, const uint8_t* p, size_t len)
{
    const auto& t = kFcs.t;
    for (; len >= 8; len -= 8, p += 8) {
        unsigned lo = (p[0] ^ crc) & 0xFF;
        unsigned hi = (p[1] ^ (crc >> 8)) & 0xFF;
        crc = (uint16_t)(t[7][lo] ^ t[6][hi] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^
                         t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]]);
    }
    for (; len > 0; --len, ++p)
        crc = (uint16_t)((crc >> 8) ^ t[0][(crc ^ *p) & 0xFF]);
    return crc;
}

uint16_t FcsUpdateTable16(uint16_t crc, const uint8_t* p, size_t len)
{
    const auto& t = kFcs.t;
    for (; len >= 16; len -= 16, p += 16) {
        unsigned lo = (p[0] ^ crc) & 0xFF;
        unsigned hi = (p[1] ^ (crc >> 8)) & 0xFF;
        crc = (uint16_t)(t[15][lo] ^ t[14][hi] ^ t[13][p[2]] ^ t[12][p[3]] ^ t[11][p[4]] ^
                         t[10][p[5]] ^ t[9][p[6]] ^ t[8][p[7]] ^ t[7][p[8]] ^ t[6][p[9]] ^
                         t[5][p[10]] ^ t[4][p[11]] ^ t[3][p[12]] ^ t[2][p[13]] ^ t[1][p[14]] ^
                         t[0][p[15]]);
    }
    return FcsUpdateTable(crc, p, len);
}

}  // namespace sundrel

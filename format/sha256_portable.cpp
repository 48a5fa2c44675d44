// The portable SHA-256 compression, as the standard writes it: the message
// schedule of 64 words, then 64 rounds over the working variables a to h.
#include "sha256_paths.h"

namespace sundrel {

namespace {

uint32_t Rotr(uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

uint32_t Ch(uint32_t x, uint32_t y, uint32_t z)
{
    return (x & y) ^ (~x & z);
}

uint32_t Maj(uint32_t x, uint32_t y, uint32_t z)
{
    return (x & y) ^ (x & z) ^ (y & z);
}

uint32_t UpperSigma0(uint32_t x)
{
    return Rotr(x, 2) ^ Rotr(x, 13) ^ Rotr(x, 22);
}

uint32_t UpperSigma1(uint32_t x)
{
    return Rotr(x, 6) ^ Rotr(x, 11) ^ Rotr(x, 25);
}

uint32_t LowerSigma0(uint32_t x)
{
    return Rotr(x, 7) ^ Rotr(x, 18) ^ (x >> 3);
}

uint32_t LowerSigma1(uint32_t x)
{
    return Rotr(x, 17) ^ Rotr(x, 19) ^ (x >> 10);
}

uint32_t LoadBigEndian(const uint8_t* p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

}  // namespace

void Sha256CompressPortable(uint32_t state[8], const uint8_t* blocks, size_t count)
{
    for (; count > 0; --count, blocks += 64) {
        uint32_t w[64];
        for (int t = 0; t < 16; ++t)
            w[t] = LoadBigEndian(blocks + 4 * t);
        for (int t = 16; t < 64; ++t)
            w[t] = LowerSigma1(w[t - 2]) + w[t - 7] + LowerSigma0(w[t - 15]) + w[t - 16];

        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int t = 0; t < 64; ++t) {
            const uint32_t t1 = h + UpperSigma1(e) + Ch(e, f, g) + kSha256RoundConstants[t] + w[t];
            const uint32_t t2 = UpperSigma0(a) + Maj(a, b, c);
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

}  // namespace sundrel

// The AVX2 path: the nibble-table kernel on 32-byte vectors (VPSHUFB), each
// 16-byte table broadcast to both lanes.
#include "gf256_paths.h"

#if defined(__x86_64__) || defined(_M_X64)

#include <immintrin.h>

#include "cpu_features.h"

#define SUNDREL_NIBBLE_TARGET SUNDREL_TARGET("avx2")
#include "gf256_nibble.h"

namespace sundrel {

namespace {

struct Avx2Vectors {
    using Vector = __m256i;
    static constexpr size_t kBytes = 32;
    SUNDREL_NIBBLE_TARGET static Vector Load(const uint8_t* p)
    {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    SUNDREL_NIBBLE_TARGET static void Store(uint8_t* p, Vector v)
    {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    }
    SUNDREL_NIBBLE_TARGET static Vector Zero() { return _mm256_setzero_si256(); }
    SUNDREL_NIBBLE_TARGET static Vector Nibble() { return _mm256_set1_epi8(0x0F); }
    SUNDREL_NIBBLE_TARGET static Vector And(Vector a, Vector b) { return _mm256_and_si256(a, b); }
    SUNDREL_NIBBLE_TARGET static Vector Xor(Vector a, Vector b) { return _mm256_xor_si256(a, b); }
    SUNDREL_NIBBLE_TARGET static Vector ShiftRight4(Vector v) { return _mm256_srli_epi16(v, 4); }
    // The 16 bytes in both lanes.
    SUNDREL_NIBBLE_TARGET static Vector Table(const uint8_t table[16])
    {
        return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table)));
    }
    SUNDREL_NIBBLE_TARGET static Vector Shuffle(Vector table, Vector index) { return _mm256_shuffle_epi8(table, index); }
};

// Up to 4 destinations at once: with 2 vectors each, their sums take half
// the 16 registers.
constexpr size_t kMaxGroup = 4;

}  // namespace

void GfDotProductsAvx2(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                       uint8_t* const* dests, size_t destCount, size_t len)
{
    NibbleDotProducts<Avx2Vectors, kMaxGroup>(multipliers, sources, sourceCount, dests, destCount, len);
}

}  // namespace sundrel

#endif

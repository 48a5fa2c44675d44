// The SSSE3 path: the nibble-table kernel on 16-byte vectors (PSHUFB).
#include "gf256_paths.h"

#if defined(__x86_64__) || defined(_M_X64)

#include <immintrin.h>

#include "cpu_features.h"

#define SUNDREL_NIBBLE_TARGET SUNDREL_TARGET("ssse3")
#include "gf256_nibble.h"

namespace sundrel {

namespace {

struct Ssse3Vectors {
    using Vector = __m128i;
    static constexpr size_t kBytes = 16;
    SUNDREL_NIBBLE_TARGET static Vector Load(const uint8_t* p)
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    SUNDREL_NIBBLE_TARGET static void Store(uint8_t* p, Vector v)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    }
    SUNDREL_NIBBLE_TARGET static Vector Zero() { return _mm_setzero_si128(); }
    SUNDREL_NIBBLE_TARGET static Vector Nibble() { return _mm_set1_epi8(0x0F); }
    SUNDREL_NIBBLE_TARGET static Vector And(Vector a, Vector b) { return _mm_and_si128(a, b); }
    SUNDREL_NIBBLE_TARGET static Vector Xor(Vector a, Vector b) { return _mm_xor_si128(a, b); }
    SUNDREL_NIBBLE_TARGET static Vector ShiftRight4(Vector v) { return _mm_srli_epi16(v, 4); }
    SUNDREL_NIBBLE_TARGET static Vector Table(const uint8_t table[16])
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(table));
    }
    SUNDREL_NIBBLE_TARGET static Vector Shuffle(Vector table, Vector index) { return _mm_shuffle_epi8(table, index); }
};

// Up to 4 destinations at once: with 2 vectors each, their sums take half
// the 16 registers.
constexpr size_t kMaxGroup = 4;

}  // namespace

void GfDotProductsSsse3(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                        uint8_t* const* dests, size_t destCount, size_t len)
{
    NibbleDotProducts<Ssse3Vectors, kMaxGroup>(multipliers, sources, sourceCount, dests, destCount, len);
}

}  // namespace sundrel

#endif

// CPUID and XGETBV: an instruction set counts only when the operating
// system also saves its registers (XCR0), or its use would corrupt them.
#include "cpu_features.h"

#if defined(__x86_64__) || defined(_M_X64)

#include <cstdint>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#include <immintrin.h>
#else
#include <cpuid.h>
#endif

namespace sundrel {

namespace {

struct CpuidRegisters {
    uint32_t eax, ebx, ecx, edx;
};

CpuidRegisters Cpuid(uint32_t leaf, uint32_t subleaf)
{
    CpuidRegisters r{};
#if defined(_MSC_VER) && !defined(__clang__)
    int values[4];
    __cpuidex(values, (int)leaf, (int)subleaf);
    r = {(uint32_t)values[0], (uint32_t)values[1], (uint32_t)values[2], (uint32_t)values[3]};
#else
    __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
#endif
    return r;
}

// The state components the operating system saves (XCR0).
uint64_t SavedState()
{
#if defined(_MSC_VER) && !defined(__clang__)
    return _xgetbv(0);
#else
    uint32_t eax, edx;
    __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
    return ((uint64_t)edx << 32) | eax;
#endif
}

bool Bit(uint32_t value, int bit)
{
    return (value >> bit) & 1;
}

constexpr uint64_t kXmmYmmState = 0x06;          // SSE and AVX registers
constexpr uint64_t kZmmState = 0xE0;             // opmask, upper ZMM0-15, ZMM16-31

}  // namespace

CpuFeatures DetectCpuFeatures()
{
    CpuFeatures features{};
    const uint32_t maxLeaf = Cpuid(0, 0).eax;
    if (maxLeaf < 1)
        return features;
    const CpuidRegisters leaf1 = Cpuid(1, 0);
    features.pclmul = Bit(leaf1.ecx, 1) && Bit(leaf1.ecx, 19);
    features.ssse3 = Bit(leaf1.ecx, 9);
    if (maxLeaf >= 7)
        features.sha = Bit(Cpuid(7, 0).ebx, 29) && features.ssse3 && Bit(leaf1.ecx, 19);

    const bool osxsave = Bit(leaf1.ecx, 27);
    if (maxLeaf < 7 || !osxsave)
        return features;
    const uint64_t saved = SavedState();
    const bool ymmSaved = (saved & kXmmYmmState) == kXmmYmmState;
    const bool zmmSaved = ymmSaved && (saved & kZmmState) == kZmmState;
    const bool avx = Bit(leaf1.ecx, 28);
    const CpuidRegisters leaf7 = Cpuid(7, 0);
    const bool avx2 = Bit(leaf7.ebx, 5);
    const bool avx512f = Bit(leaf7.ebx, 16);
    const bool avx512bw = Bit(leaf7.ebx, 30);
    const bool gfni = Bit(leaf7.ecx, 8);
    const bool vpclmulqdq = Bit(leaf7.ecx, 10);
    features.avx2 = ymmSaved && avx && avx2;
    features.avx512clmul = zmmSaved && avx && avx512f && vpclmulqdq && features.pclmul;
    features.gfniAvx512 = zmmSaved && avx && avx512f && avx512bw && gfni;
    return features;
}

}  // namespace sundrel

#endif

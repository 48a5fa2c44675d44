// What the processor offers and the operating system saves across thread
// switches, for choosing among the FCS and GF(2^8) paths. x86-64 only.
#pragma once

#if defined(__x86_64__) || defined(_M_X64)

// Marks a function compiled for an instruction set beyond the baseline;
// Visual Studio compiles intrinsics without it.
#if defined(__GNUC__) || defined(__clang__)
#define SUNDREL_TARGET(features) __attribute__((target(features)))
#else
#define SUNDREL_TARGET(features)
#endif

namespace sundrel {

struct CpuFeatures {
    bool pclmul;      // PCLMULQDQ with SSE4.1
    bool avx512clmul; // VPCLMULQDQ on 512-bit registers, with the state saved
    bool ssse3;       // PSHUFB
    bool avx2;        // VPSHUFB on 256-bit registers, with the state saved
    bool gfniAvx512;  // GF2P8AFFINEQB with AVX-512F and BW, with the state saved
    bool sha;         // SHA extensions with SSSE3 and SSE4.1
};

CpuFeatures DetectCpuFeatures();

}  // namespace sundrel

#endif

# Native build of the fuzz targets: clang with libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer. Used by scripts/fuzz.
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_FLAGS_INIT "-g -O1 -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all")
set(CMAKE_CXX_FLAGS_INIT "-g -O1 -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fsanitize=address,undefined")
# Fuzz targets link with this; their entry point comes from libFuzzer.
set(FUZZ_LINK_OPTIONS -fsanitize=fuzzer)

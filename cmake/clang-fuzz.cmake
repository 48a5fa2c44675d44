# Native build with clang, AddressSanitizer and UndefinedBehaviorSanitizer,
# and libFuzzer's coverage instrumentation: the fuzz targets (scripts/fuzz)
# and the native tests (scripts/test). Every sanitizer report ends the
# program, so that the run fails on it.
include(${CMAKE_CURRENT_LIST_DIR}/clang.cmake)
set(CMAKE_C_FLAGS_INIT "-g -O1 -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all")
set(CMAKE_CXX_FLAGS_INIT "-g -O1 -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fsanitize=address,undefined")
# Fuzz targets link with this; their entry point comes from libFuzzer.
set(FUZZ_LINK_OPTIONS -fsanitize=fuzzer)

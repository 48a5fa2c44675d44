# Cross build for 64-bit Windows with mingw-w64 (posix thread model).
# Compiler-specific flags live here so that the project files stay usable
# with Visual Studio.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# GCC cannot give stack slots more than 16-byte alignment on 64-bit Windows,
# yet may spill 32- and 64-byte vectors with aligned moves, which fault; the
# assembler writes every aligned vector move as an unaligned one, which is as
# fast on aligned data.
set(CMAKE_C_FLAGS_INIT   "-Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
# Static runtime: the programs run on a plain Windows without extra DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Programs whose entry point is wWinMain link with this (Visual Studio
# finds wWinMain by itself).
set(WIDE_ENTRY_LINK_OPTIONS -municode)
# windres reads the .rc files as UTF-8 (they say so with #pragma code_page).
set(CMAKE_RC_FLAGS_INIT "-c 65001")

# Tests run through Wine.
find_program(WINE_PROGRAM NAMES wine wine64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})

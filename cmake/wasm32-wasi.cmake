# The portable core and the page's binding as WebAssembly: Debian's clang
# with --target=wasm32-wasi, wasi-libc, libc++ for wasm32 and lld.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
# The project builds only the core and the page's module for this target.
set(SUNDREL_WEB ON)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
# No exceptions across the core anyway; without them the module stays small.
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions -Wall -Wextra")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--gc-sections -Wl,--strip-all")
# The page's module is a reactor: no main, the page calls its exports.
# Programs with a main (the FCS benchmark) run under node's WASI.
set(WASM_REACTOR_LINK_OPTIONS -mexec-model=reactor -Wl,--no-entry)
# Try-compiles link a library, not a program without _start.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

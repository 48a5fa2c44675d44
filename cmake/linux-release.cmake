# Initial cache for the Linux build of the companion in the release package
# (cmake -C): libstdc++ and libgcc linked in, so that the one program runs
# on any x86-64 Linux with the glibc of Debian 12 or newer.
set(CMAKE_BUILD_TYPE Release CACHE STRING "")
set(CMAKE_EXE_LINKER_FLAGS "-static-libstdc++ -static-libgcc" CACHE STRING "")
set(BUILD_TESTING OFF CACHE BOOL "")

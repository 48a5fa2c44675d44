# Native build with clang instead of the host's default compiler (scripts/test
# builds with both); clang-fuzz.cmake builds on it.
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)

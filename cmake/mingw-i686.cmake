# Cross toolchain: the product's 32-bit Windows modules, built on Linux with MinGW-w64.
# The posix thread model gives the C++ threading library (GoogleTest needs it);
# winpthread is linked statically like the rest of the runtime.
set(NELO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Cross toolchain: the same modules as 64-bit Windows code. This is the build
# the tests run under Wine here (these Linux machines cannot execute 32-bit
# code, so 32-bit Wine is not available); it also keeps the code 64-bit clean.
set(NELO_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

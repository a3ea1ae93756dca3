# Shared part of the MinGW-w64 cross toolchains; NELO_MINGW_TRIPLE picks the target.
set(CMAKE_SYSTEM_NAME Windows)
if(NELO_MINGW_TRIPLE MATCHES "^x86_64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

set(CMAKE_C_COMPILER   ${NELO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NELO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${NELO_MINGW_TRIPLE}-windres)
set(WIDL_EXECUTABLE    ${NELO_MINGW_TRIPLE}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${NELO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test executables run under Wine; the environment (prefix, display, audio)
# comes from tools/env/testenv.sh, which wraps ctest.
if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()

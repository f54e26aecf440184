# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix thread model).
# Test programs run under Wine through the cross-compiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HORAVEL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${HORAVEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HORAVEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${HORAVEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HORAVEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

find_program(HORAVEL_WINE NAMES wine wine64)
if(HORAVEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HORAVEL_WINE})
endif()

# Cross-compiles for 64-bit Windows with Debian's clang, on the headers and
# libraries of Debian's mingw-w64 (posix thread model). clang does not find
# that g++'s C++ library by itself: its header folders are named here, and its
# library folder and runtime libraries are added to every link. LLVM's linker
# links g++'s library without GNU ld's complaints about clang's type names.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HORAVEL_MINGW_PREFIX x86_64-w64-mingw32)
set(HORAVEL_CLANG_TARGET --target=${HORAVEL_MINGW_PREFIX})

set(CMAKE_C_COMPILER   clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET   ${HORAVEL_MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${HORAVEL_MINGW_PREFIX})
set(CMAKE_RC_COMPILER  ${HORAVEL_MINGW_PREFIX}-windres)

execute_process(
  COMMAND ${HORAVEL_MINGW_PREFIX}-g++-posix -print-file-name=
  OUTPUT_VARIABLE HORAVEL_MINGW_GCC_DIR
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT IS_DIRECTORY "${HORAVEL_MINGW_GCC_DIR}/include/c++")
  message(FATAL_ERROR "No C++ headers of ${HORAVEL_MINGW_PREFIX}-g++-posix found (got '${HORAVEL_MINGW_GCC_DIR}')")
endif()
string(REGEX REPLACE "/$" "" HORAVEL_MINGW_GCC_DIR "${HORAVEL_MINGW_GCC_DIR}")

set(CMAKE_CXX_FLAGS_INIT
  "-isystem ${HORAVEL_MINGW_GCC_DIR}/include/c++ -isystem ${HORAVEL_MINGW_GCC_DIR}/include/c++/${HORAVEL_MINGW_PREFIX}")
# LLVM's linker resolves archives in any order, so the runtime libraries can
# stand among the flags (CMake's platform files reset the standard libraries).
set(CMAKE_EXE_LINKER_FLAGS_INIT
  "-fuse-ld=lld -L${HORAVEL_MINGW_GCC_DIR} -Wl,--start-group -lstdc++ -lgcc -lgcc_eh -lpthread -Wl,--end-group")

set(CMAKE_FIND_ROOT_PATH /usr/${HORAVEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

find_program(HORAVEL_WINE NAMES wine wine64)
if(HORAVEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HORAVEL_WINE})
endif()

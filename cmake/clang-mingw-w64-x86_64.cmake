# Cross-compiles for 64-bit Windows with Debian's clang, on the headers and
# libraries of Debian's mingw-w64 (posix thread model): the g++ toolchain with
# clang in place of gcc. clang does not find that g++'s C++ library by
# itself: its header folders are named here, and its library folder and
# runtime libraries are added to every link. LLVM's linker links g++'s
# library without GNU ld's complaints about clang's type names.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)

set(CMAKE_C_COMPILER   clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET   ${HORAVEL_MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${HORAVEL_MINGW_PREFIX})

execute_process(
  COMMAND ${HORAVEL_MINGW_PREFIX}-g++-posix -print-file-name=
  OUTPUT_VARIABLE HORAVEL_MINGW_GCC_DIR
  OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX REPLACE "/$" "" HORAVEL_MINGW_GCC_DIR "${HORAVEL_MINGW_GCC_DIR}")
if(NOT IS_DIRECTORY "${HORAVEL_MINGW_GCC_DIR}/include/c++")
  message(FATAL_ERROR "No C++ headers of ${HORAVEL_MINGW_PREFIX}-g++-posix found (got '${HORAVEL_MINGW_GCC_DIR}')")
endif()

set(CMAKE_CXX_FLAGS_INIT
  "-isystem ${HORAVEL_MINGW_GCC_DIR}/include/c++ -isystem ${HORAVEL_MINGW_GCC_DIR}/include/c++/${HORAVEL_MINGW_PREFIX}")
# LLVM's linker resolves archives in any order, so the runtime libraries can
# stand among the flags (CMake's platform files reset the standard libraries).
set(CMAKE_EXE_LINKER_FLAGS_INIT
  "-fuse-ld=lld -L${HORAVEL_MINGW_GCC_DIR} -Wl,--start-group -lstdc++ -lgcc -lgcc_eh -lpthread -Wl,--end-group")

# Cross-build for 64-bit Windows with Debian's MinGW-w64 (the posix thread
# model, for std::thread), the programs and tests run under Wine:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CALVETRA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CALVETRA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CALVETRA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${CALVETRA_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CALVETRA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The programs carry the C++ and GCC runtimes and the thread library inside
# them: a Windows without MinGW's DLLs runs them as they are.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Tests, the identity check and the programs' own runs go through Wine, in a
# prefix of the build's own (made and warmed once by cmake/wine.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine.sh)

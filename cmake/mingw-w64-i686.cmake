# Cross-build for Windows x86 (32-bit) with Debian's mingw-w64 (POSIX thread
# model, needed for std::thread and std::mutex). This is the program users
# install: the vendors' device controls are 32-bit in-process servers, which
# only a 32-bit process can load.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test binaries run under 32-bit Wine, which runs under qemu-i386 because
# the build machines' kernels refuse i386 code, in a prefix private to this
# build folder. Emulation is slow: the x64 twin runs the whole suite, and
# tools/wine32-tests picks the tests that run here.
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/../tools/wine32-run")

# Cross-builds for 64-bit Windows with Debian's mingw-w64 (package g++-mingw-w64-x86-64):
#   cmake -G Ninja -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix flavour of the compiler carries the C++ threads the operations run on. Programs are
# linked statically, so olkmixer-cli.exe needs no DLL beside it on a bare Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(OLK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${OLK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OLK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${OLK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${OLK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# A Qt for Windows named by CMAKE_PREFIX_PATH is found where it was installed.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

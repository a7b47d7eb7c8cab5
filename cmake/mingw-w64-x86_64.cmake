# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads flavour, which
# Qt's threads need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BEZIER7_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${BEZIER7_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BEZIER7_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${BEZIER7_MINGW}-windres)

# Libraries and headers come from the MinGW sysroot and the cross-built Qt, programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${BEZIER7_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

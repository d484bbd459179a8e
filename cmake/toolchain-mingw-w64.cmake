# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_kestrum_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_kestrum_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_kestrum_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_kestrum_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_kestrum_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static runtime: a posix-threads build would otherwise import libwinpthread-1.dll and
# silently exit when it is not beside the executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
find_program(WINE64_EXECUTABLE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(WINE64_EXECUTABLE NAMES wine64 wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE64_EXECUTABLE})

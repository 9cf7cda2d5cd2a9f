# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the posix threads variant, which
# has std::thread and std::mutex) and runs the built programs under Wine, so that CTest tests
# the Windows build on this machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries and headers come from the MinGW tree only: the host's would compile but not run.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in, so that the programs run from any folder without MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine gets a prefix of the build's own, stays quiet, and runs in a code page that is not
# Japanese (1252), where only the wide calls can name a Japanese file; UTF-8 on the Linux side
# (C.UTF-8, the locale every Debian has), so that Wine reads UTF-8 arguments as such.
find_program(PEXOL_WINE NAMES wine wine64 wine-stable REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all
    LANG=C.UTF-8 LC_ALL= ${PEXOL_WINE})

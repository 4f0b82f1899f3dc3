# Cross build for 32-bit Windows with Debian's mingw-w64 (the posix thread
# model, which std::thread and std::mutex need), tests run under Wine.
# 32-bit because the recipient filter components that monitoring products
# register are 32-bit in-process servers, which a 64-bit process cannot load,
# and because a 32-bit program runs on every Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread linked in: the executables (and the test
# component DLL) run under Wine without any mingw DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Wine's 32-bit loader, headless: no debug chatter, a 32-bit prefix of the
# build's own (made on first use), no offer to install Mono or Gecko.
set(QM_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEDEBUG=-all WINEARCH=win32 WINEPREFIX=${QM_WINEPREFIX} WINEDLLOVERRIDES=mscoree,mshtml=
        /usr/lib/wine/wine)

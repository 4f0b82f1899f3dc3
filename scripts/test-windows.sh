#!/usr/bin/env bash
# The core, the simulator, the crypto class and the Win32 edge built for
# 32-bit Windows with mingw-w64 and their tests run under Wine's 32-bit
# loader, headless, into build-windows/ (or $1). Installs what it lacks; ends
# with CTest's summary.
#   scripts/test-windows.sh [BUILD_DIR]
#   scripts/test-windows.sh --build-only [BUILD_DIR]   (scripts/run.sh windows)
set -euo pipefail
cd "$(dirname "$0")/.."
build_only=0
[ "${1:-}" = --build-only ] && { build_only=1; shift; }
dir=${1:-build-windows}

# Wine's 32-bit loader comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update
fi
# The loader and the server are all that the tests need; wine32 without its
# recommendations is about 150 MB. The whole-program test runs the Linux
# simulator, built here too, and the program on an X server with a window
# manager and a panel; the build turns the about picture into a BMP.
scripts/install-deps.sh cmake make g++ file g++-mingw-w64-i686-posix googletest wine64 wine32:i386 \
    imagemagick xvfb xauth x11-utils xdotool openbox trayer

# A build folder configured for another toolchain (the earlier 64-bit one)
# is made anew: CMake keeps the first toolchain it was given.
if [ -f "$dir/CMakeCache.txt" ] &&
    ! grep -qs 'mingw-w64-i686.cmake' "$dir"/CMakeFiles/*/CMakeSystem.cmake; then
    rm -rf "$dir"
fi
# The whole-program test runs the Linux simulator against the Windows build.
host="$dir/host"
cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=Release -DQM_BUILD_GUI=OFF >/dev/null
cmake --build "$host" --target smsc-sim -j2

# Assertions on and light optimisation: half the build time of Release, and
# these tests check behaviour, not speed.
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O1 -DQM_BUILD_GUI=OFF \
    -DQM_SMSC_SIM="$(realpath "$host")/tools/smsc-sim/smsc-sim" >/dev/null
if [ "$build_only" -eq 1 ]; then
    cmake --build "$dir" -j2 --target quillmast
    exit 0
fi
cmake --build "$dir" -j2

# The program and the tests are 32-bit Windows programs, not Linux ones that
# happen to run; the program has no console window of its own.
file "$dir/src/win32/app/quillmast.exe" | grep -q 'PE32 executable (GUI) Intel 80386' ||
    { echo "not a 32-bit GUI program: $(file "$dir/src/win32/app/quillmast.exe")" >&2; exit 1; }
exes=$(find "$dir/tests" -name '*.exe' -o -name '*.dll')
[ -n "$exes" ] || { echo "no test executable in $dir/tests" >&2; exit 1; }
for exe in $exes; do
    file "$exe" | grep -q 'PE32 executable .*Intel 80386' || { echo "not PE32: $(file "$exe")" >&2; exit 1; }
done

# CTest makes the build's Wine prefix first (the wine_prefix fixture).
ctest --test-dir "$dir" --output-on-failure -j2 --timeout 300

#!/usr/bin/env bash
# The core, the simulator and the crypto class built for 64-bit Windows with
# mingw-w64 and their tests run under Wine, headless, into build-windows/ (or
# $1). Installs what it lacks; ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-windows}

# wine64 alone brings the loader and the server, all that console programs need.
scripts/install-deps.sh cmake make file g++-mingw-w64-x86-64-posix googletest wine64

# Assertions on and light optimisation: half the build time of Release, and
# these tests check behaviour, not speed.
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O1 -DQM_BUILD_GUI=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)"

# The tests are Windows programs, not Linux ones that happen to run.
exes=$(find "$dir/tests" -name 'test_*.exe')
[ -n "$exes" ] || { echo "no test executable in $dir/tests" >&2; exit 1; }
for exe in $exes; do
    file "$exe" | grep -q 'PE32+ executable' || { echo "not PE32+: $(file "$exe")" >&2; exit 1; }
done

# CTest makes the build's Wine prefix first (the wine_prefix fixture).
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" --timeout 300

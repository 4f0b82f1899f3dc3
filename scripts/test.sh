#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: a GCC
# Release build (full optimisation, where GCC warns differently) with its
# install package (checked by lintian), then a clang ASan+UBSan build (clang's
# warnings, memory and undefined-behaviour faults). Last, each libFuzzer target
# runs for 10 s on its corpus; then the Windows build under Wine, and its
# installer made from it and tried there. scripts/build-matrix.sh builds every
# build type with both compilers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
scripts/build.sh build
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 300
scripts/test-package.sh build
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=ON \
    -DCMAKE_CXX_COMPILER=clang++
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$(nproc)" --timeout 300
scripts/fuzz.sh 10
scripts/test-windows.sh
scripts/test-installer.sh build-windows

#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: the normal
# build and its install package, then the ASan+UBSan build, then an optimised
# clang build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
scripts/build.sh build
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 300
scripts/test-package.sh build
scripts/build.sh build-asan -DQM_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$(nproc)" --timeout 300
# The other compiler at full optimisation: warnings, and faults, that only
# show there.
scripts/build.sh build-clang-release -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++
ctest --test-dir build-clang-release --output-on-failure -j"$(nproc)" --timeout 300

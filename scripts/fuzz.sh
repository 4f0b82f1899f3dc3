#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan) into build-fuzz/ and runs
# each for $1 seconds (default 10) on a copy of its corpus fuzz/corpus/<target>,
# so that the inputs a run adds do not grow the tree's corpus. Any finding (a
# crash, a sanitizer report, a leak, a time-out) ends the run non-zero; its
# input is kept as build-fuzz/<target>-crash-... and the log is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
targets=()
for src in fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DQM_FUZZ=ON -DQM_BUILD_GUI=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for t in "${targets[@]}"; do
    [ -d "fuzz/corpus/$t" ] || { echo "fuzz: no corpus fuzz/corpus/$t" >&2; exit 1; }
    cp -r "fuzz/corpus/$t" "$work/$t"
    if ! build-fuzz/fuzz/"$t" -max_total_time="$seconds" -artifact_prefix="build-fuzz/$t-" \
        "$work/$t" >"$work/$t.log" 2>&1; then
        cat "$work/$t.log" >&2
        echo "fuzz: FAIL: $t found a fault (input in build-fuzz/$t-*)" >&2
        exit 1
    fi
    echo "fuzz: $t: $(grep -oE 'Done [0-9]+ runs in [0-9]+ second' "$work/$t.log" | tail -1)s"
done
echo "fuzz: ${#targets[@]} targets ran ${seconds} s each without a finding"

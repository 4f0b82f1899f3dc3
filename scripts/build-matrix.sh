#!/usr/bin/env bash
# Builds every build type with GCC and with clang (warnings are errors in each)
# into build-matrix/<compiler>-<type>/ and prints one line per build. With
# --test, runs the suite of each build too. Exit status non-zero if any failed.
set -uo pipefail
cd "$(dirname "$0")/.."
run_tests=0
[[ ${1:-} == --test ]] && run_tests=1
export QT_QPA_PLATFORM=offscreen
failed=0
mkdir -p build-matrix
for cxx in g++ clang++; do
    for type in Debug Release RelWithDebInfo MinSizeRel; do
        dir=build-matrix/${cxx%++}-$type
        start=$SECONDS
        if cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=$type -DCMAKE_CXX_COMPILER=$cxx >"$dir.log" 2>&1 &&
            cmake --build "$dir" -j"$(nproc)" >>"$dir.log" 2>&1; then
            result="built"
            if ((run_tests)); then
                if ctest --test-dir "$dir" -j"$(nproc)" --timeout 300 >>"$dir.log" 2>&1; then
                    result+=", tests passed"
                else
                    result+=", TESTS FAILED"
                    failed=1
                fi
            fi
        else
            result="FAILED (see $dir.log)"
            failed=1
        fi
        printf '%-8s %-15s %-40s %4d s\n' "${cxx%++}" "$type" "$result" $((SECONDS - start))
    done
done
exit $failed

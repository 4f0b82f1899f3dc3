#!/usr/bin/env bash
# Checks that the folders of src/ (or of the folder given) depend one way.
#  - The common chain: every file of a chain folder (at any depth) includes
#    only its own folder and the chain folders before it; no Qt header; a
#    Win32 header only in a *_win.cpp file.
#  - The edges (qt/, win32/): each includes the chain and itself, never
#    another edge. An edge may be missing; a chain folder may not.
#  - No other folder.
# Prints each include that points the wrong way and fails when there is one.
#   scripts/check-layers.sh [SRC_DIR]
#   scripts/check-layers.sh --self-test    bad includes in a scratch tree are refused
set -euo pipefail
CHAIN=(pure platform core log config modem send commands crypto console)
EDGES=(qt win32)
# The system headers of the Win32 API (not the C runtime's).
WIN32_HEADERS='^(windows|windef|winbase|winuser|wingdi|winnt|winerror|winreg|winnls|winver|winioctl|winsock2?|ws2tcpip|wincrypt|wincon|shellapi|shlobj|shlwapi|shobjidl|commdlg|commctrl|objbase|ole2|oleauto|oaidl|unknwn|combaseapi|mmsystem|setupapi|dbt|tlhelp32|psapi|processthreadsapi|synchapi|fileapi|handleapi|errhandlingapi|minwindef|basetsd)\.h$'

if [[ ${1:-} == --self-test ]]; then
    self=$(realpath "$0")
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    for folder in "${CHAIN[@]}" "${EDGES[@]}" qt/console; do mkdir -p "$scratch/$folder"; done
    # A tree that holds each allowed kind of include passes.
    printf '#include "pure/text.h"\n#include <string>\n' >"$scratch/console/ok.cpp"
    printf '#include <windows.h>\n' >"$scratch/core/ok_win.cpp"
    printf '#include "console/smsconsole.h"\n#include "qt/widgets/ansi.h"\n#include <QWidget>\n' \
        >"$scratch/qt/console/ok.cpp"
    printf '#include <windows.h>\n#include "console/views.h"\n' >"$scratch/win32/ok.cpp"
    out=$(bash "$self" "$scratch") || { echo "self-test: a sound tree was refused: $out"; exit 1; }
    # file | its include | what the refusal names
    rows=('pure/bad.cpp|#include "core/gateway.h"|core/ comes after pure/'
          'console/bad.h|#include <QWidget>|built without Qt'
          'core/bad.cpp|# include <Windows.h>|only in a *_win.cpp'
          'core/bad_win.h|#include <windows.h>|only in a *_win.cpp'
          'console/bad.cpp|#include "qt/console/x.h"|qt/ is an edge'
          'qt/console/bad.cpp|#include "win32/x.h"|edges never include each other'
          'win32/bad.cpp|#include "../qt/x.h"|edges never include each other'
          'gui/bad.cpp|#include "pure/text.h"|folders in no layer')
    for row in "${rows[@]}"; do
        IFS='|' read -r file include expected <<<"$row"
        mkdir -p "$scratch/$(dirname "$file")"
        echo "$include" >"$scratch/$file"
        if out=$(bash "$self" "$scratch"); then
            echo "self-test: $file with $include was let through"
            exit 1
        fi
        [[ $out == *"$expected"* ]] || { echo "self-test: $file: expected '$expected', got: $out"; exit 1; }
        rm "$scratch/$file"
        rmdir "$scratch/gui" 2>/dev/null || true
    done
    echo "self-test: ${#rows[@]} bad includes refused, the sound tree passed"
    exit 0
fi

cd "${1:-$(dirname "$0")/../src}"
status=0
fail() {
    echo "$1"
    status=1
}
in_list() { # word list...
    local w=$1
    shift
    [[ " $* " == *" $w "* ]]
}
# check FOLDER ALLOWED_TOPS PLAIN: PLAIN folders are of the chain.
check() {
    local folder=$1 allowed=$2 plain=$3 hit file rest line target top
    while IFS= read -r hit; do
        file=${hit%%:*}
        rest=${hit#*:}
        line=${rest%%:*}
        [[ ${rest#*:} =~ include[[:space:]]*[\<\"]([^\">]*) ]] || continue
        target=${BASH_REMATCH[1]}
        # A relative path is taken from the including file's folder.
        if [[ $target == ../* || $target == ./* ]]; then
            target=$(realpath -m --relative-to=. "$(dirname "$file")/$target")
        fi
        top=${target%%/*}
        if [[ $target == */* ]] && { [[ -d $top ]] || in_list "$top" "${EDGES[@]}"; }; then
            if in_list "$top" $allowed; then
                continue
            elif ((plain)) && in_list "$top" "${EDGES[@]}"; then
                fail "src/$file:$line includes $target: $top/ is an edge, and the chain includes none"
            elif ((plain)); then
                fail "src/$file:$line includes $target, and $top/ comes after $folder/"
            else
                fail "src/$file:$line includes $target: edges never include each other"
            fi
        elif ((plain)) && [[ $target =~ ^(Q[A-Za-z]|ui_) ]]; then
            fail "src/$file:$line includes $target: $folder/ is built without Qt"
        elif ((plain)) && [[ ${target,,} =~ $WIN32_HEADERS && $file != *_win.cpp ]]; then
            fail "src/$file:$line includes $target: a Win32 header belongs only in a *_win.cpp file"
        fi
    done < <(grep -rHnE '^[[:space:]]*#[[:space:]]*include' --include='*.h' --include='*.hpp' \
                 --include='*.cpp' --include='*.inl' -- "$folder" || true)
}
for ((i = 0; i < ${#CHAIN[@]}; i++)); do
    folder=${CHAIN[i]}
    [[ -d $folder ]] || { fail "missing folder: src/$folder"; continue; }
    check "$folder" "${CHAIN[*]:0:i+1}" 1
done
for edge in "${EDGES[@]}"; do
    [[ -d $edge ]] && check "$edge" "${CHAIN[*]} $edge" 0
done
unknown=$(comm -13 <(printf '%s\n' "${CHAIN[@]}" "${EDGES[@]}" | sort) \
                   <(find . -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort))
[[ -z $unknown ]] || fail "folders in no layer: $unknown"
exit $status

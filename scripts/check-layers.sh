#!/usr/bin/env bash
# Checks that the folders of src/ depend one way: every file of a folder
# (at any depth) includes only its own folder and the folders before it in
# LAYERS, and the folders of the plain C++ libraries include no Qt header.
# Prints each include that points the other way and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/../src"
LAYERS=(pure platform core log config modem send commands crypto
        widgets qtplatform dialogs console app win32)
NO_QT=(pure platform core log config modem send commands crypto)
status=0
fail() {
    echo "$1"
    status=1
}
for ((i = 0; i < ${#LAYERS[@]}; i++)); do
    folder=${LAYERS[i]}
    allowed=" ${LAYERS[*]:0:i+1} "
    [[ -d $folder ]] || { fail "missing folder: src/$folder"; continue; }
    plain=0
    [[ " ${NO_QT[*]} " == *" $folder "* ]] && plain=1
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
        if [[ $target == */* && -d $top ]]; then
            [[ $allowed == *" $top "* ]] ||
                fail "src/$file:$line includes $target, and $top/ comes after $folder/"
        elif ((plain)) && [[ $target =~ ^(Q[A-Za-z]|ui_) ]]; then
            fail "src/$file:$line includes $target: $folder/ is built without Qt"
        fi
    done < <(grep -rHnE '^[[:space:]]*#[[:space:]]*include' --include='*.h' --include='*.hpp' \
                 --include='*.cpp' --include='*.inl' -- "$folder" || true)
done
unknown=$(comm -13 <(printf '%s\n' "${LAYERS[@]}" | sort) \
                   <(find . -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort))
[[ -z $unknown ]] || fail "folders in no layer: $unknown"
exit $status

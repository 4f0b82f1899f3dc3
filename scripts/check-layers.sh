#!/usr/bin/env bash
# Checks that the folders of src/ depend one way: a folder includes only
# itself and the folders before it in LAYERS. Prints each include that points
# the other way and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/../src"
LAYERS=(pure platform core log config modem send commands crypto
        widgets qtplatform dialogs console app)
status=0
for ((i = 0; i < ${#LAYERS[@]}; i++)); do
    folder=${LAYERS[i]}
    allowed=" ${LAYERS[*]:0:i+1} "
    [[ -d $folder ]] || { echo "missing folder: src/$folder"; status=1; continue; }
    while IFS=: read -r file line target; do
        if [[ $allowed != *" $target "* ]]; then
            echo "src/$file:$line includes $target/, which comes after $folder/"
            status=1
        fi
    done < <(grep -Hno '^#include "[a-z]*/' -- "$folder"/*.h "$folder"/*.cpp 2>/dev/null |
             sed 's|#include "||; s|/$||')
done
unknown=$(comm -13 <(printf '%s\n' "${LAYERS[@]}" | sort) <(find . -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort))
if [[ -n $unknown ]]; then
    echo "folders in no layer: $unknown"
    status=1
fi
exit $status

#!/bin/sh
# Starts the console from the user's own program folder. The program keeps
# smsconf.conf, the logs, outbox/ and the COMn links beside its executable,
# found with symbolic links resolved, so a link to the installed binary would
# lead back to the read-only /usr/lib/quillmast. It therefore runs from a copy
# in the user's folder, refreshed whenever it differs from the installed one
# (after an upgrade); the copy is replaced by a rename, so a running console
# is not disturbed.
set -eu
real=$(dirname "$(readlink -f "$0")")/../lib/quillmast/quillmast
dir=${XDG_DATA_HOME:-$HOME/.local/share}/quillmast
# The folder holds the settings with their codes: private to the user.
mkdir -p "$(dirname "$dir")"
[ -d "$dir" ] || mkdir -m 700 "$dir"
mkdir -p "$dir/outbox"
if ! cmp -s "$real" "$dir/quillmast"; then
    # A file of its own, so two starts at once cannot mix their copies.
    new=$(mktemp "$dir/.quillmast.XXXXXX")
    cp "$real" "$new"
    chmod 755 "$new"
    mv -f "$new" "$dir/quillmast"
fi
exec "$dir/quillmast" "$@"

#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own.
#   check-layers.sh LAYER...   the layers, lowest first (CMakeLists.txt names them)
# A folder's platform subfolders (support/posix, ui/win32 ...) belong to the folder.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
[ $# -gt 0 ] || { echo "usage: $0 LAYER... (lowest first)" >&2; exit 2; }
declare -A rank=()
n=0
for layer in "$@"; do rank[$layer]=$n; n=$((n + 1)); done
bad=0
while IFS= read -r file; do
    own=$(cut -d/ -f2 <<<"$file")
    [ -n "${rank[$own]+x}" ] || { echo "$file: folder is not a layer"; bad=1; continue; }
    while IFS= read -r line; do
        layer=$(sed -E 's/^\s*#\s*include\s*"([a-z_]+)\/.*/\1/' <<<"$line")
        if [ -z "${rank[$layer]+x}" ] || [ "${rank[$layer]}" -gt "${rank[$own]}" ]; then
            echo "$file includes a header above its layer: $line"
            bad=1
        fi
    done < <(grep -E '^\s*#\s*include\s*"[a-z_]+/' "$file" || true)
done < <(find src -name '*.h' -o -name '*.cpp' | sort)
[ "$bad" -eq 0 ] && echo "layers point down: $*"
exit "$bad"

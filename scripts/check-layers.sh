#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. The layers, lowest first;
# a folder's platform subfolders (support/posix, ui/win32 ...) belong to the folder.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
layers=(support format card extract handoff cef ui app)
rank() {
    local i
    for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
    echo -1
}
bad=0
while IFS= read -r file; do
    own=$(rank "$(cut -d/ -f2 <<<"$file")")
    [ "$own" -ge 0 ] || { echo "$file: folder is not a known layer"; bad=1; continue; }
    while IFS= read -r line; do
        layer=$(sed -E 's/.*#\s*include\s*"([a-z_]+)\/.*/\1/' <<<"$line")
        target=$(rank "$layer")
        if [ "$target" -gt "$own" ]; then
            echo "$file includes a layer above its own: $line"
            bad=1
        fi
    done < <(grep -E '^\s*#\s*include\s*"[a-z_]+/' "$file" || true)
done < <(git ls-files 'src/*.h' 'src/*.cpp')
[ "$bad" -eq 0 ] && echo "layers point down: ${layers[*]}"
exit "$bad"

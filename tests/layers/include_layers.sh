#!/usr/bin/env bash
# The folders of src/ are layers, lowest first: a file may include its own
# folder and the folders listed before it, never one after it (so no two
# folders include each other). A folder missing from the list fails too: a
# new folder has to take its place first.
#   include_layers.sh [source root]   (default: src/ beside this script's tests/)
set -euo pipefail
SRC="${1:-$(cd "$(dirname "$0")/../../src" && pwd)}"
LAYERS=(shapes graphics window capture settings board app)

rank() {
    local i
    for i in "${!LAYERS[@]}"; do
        [[ "${LAYERS[$i]}" == "$1" ]] && { echo "$i"; return; }
    done
    echo -1
}

status=0
while IFS= read -r file; do
    rel="${file#"$SRC"/}"
    folder="${rel%%/*}"
    own=$(rank "$folder")
    if ((own < 0)); then
        echo "$rel: folder '$folder' is not a layer" >&2
        status=1
        continue
    fi
    while IFS= read -r target; do
        [[ "$target" == */* ]] || continue          # a file of its own folder
        [[ "$target" == ../* ]] && continue         # resources beside src/
        used="${target%%/*}"
        theirs=$(rank "$used")
        if ((theirs < 0 || theirs > own)); then
            echo "$rel includes $target: '$folder' may not include '$used'" >&2
            status=1
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$SRC" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

((status == 0)) && echo "every include of $SRC stays in its layer or below"
exit $status

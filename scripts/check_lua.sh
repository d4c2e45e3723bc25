#!/usr/bin/env bash
# Syntax-checks Lua game files with the Lua 5.1 compiler, the language version the game runs.
# Usage: check_lua.sh FILE|FOLDER...
# A file named on the command line is always checked; folders are searched recursively
# for *.lua and *.cfg (any letter case). Exits 1 when a file fails, 2 on a usage error.
set -u

luac="${LUAC:-luac5.1}"
if ! command -v "$luac" >/dev/null 2>&1; then
    echo "check_lua.sh: $luac not found" >&2
    exit 2
fi
if [ $# -eq 0 ]; then
    echo "usage: check_lua.sh FILE|FOLDER..." >&2
    exit 2
fi

failed=0
checked=0

check() {
    local out
    checked=$((checked + 1))
    # -p only parses, so no luac.out is written.
    if ! out=$("$luac" -p -- "$1" 2>&1); then
        echo "FAIL: $1" >&2
        echo "$out" >&2
        failed=$((failed + 1))
    fi
}

for arg in "$@"; do
    if [ -d "$arg" ]; then
        while IFS= read -r -d '' file; do
            check "$file"
        done < <(find "$arg" -type f \( -iname '*.lua' -o -iname '*.cfg' \) -print0 | sort -z)
    elif [ -f "$arg" ]; then
        check "$arg"
    else
        echo "FAIL: $arg: no such file or folder" >&2
        checked=$((checked + 1))
        failed=$((failed + 1))
    fi
done

if [ "$failed" -ne 0 ]; then
    echo "check_lua.sh: $failed of $checked file(s) failed" >&2
    exit 1
fi
exit 0

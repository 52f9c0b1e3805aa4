#!/usr/bin/env bash
# Runs scripts/check-includes on small trees of its own: an include that points down passes,
# one that reaches up or sideways fails and is named, and so do a table whose layers form a
# loop and a folder of sources with no row.
# Usage: tests/scripts/check_includes_test.sh
set -uo pipefail
checker=$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-includes
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A tree with the table TABLE and one file per "path|include" pair, tracked in git.
make_tree() {
    local table=$1
    shift
    local tree
    tree=$(mktemp -d "$work/tree.XXXX")
    mkdir -p "$tree/scripts"
    printf '%s\n' "$table" >"$tree/scripts/include-layers"
    local pair path include
    for pair in "$@"; do
        path=${pair%%|*}
        include=${pair#*|}
        mkdir -p "$tree/$(dirname "$path")"
        printf '#include "%s"\n#include <vector>\n' "$include" >"$tree/$path"
    done
    git -C "$tree" init -q
    git -C "$tree" add -A
    printf '%s' "$tree"
}

# NAME: the case; WANT: the exit status; TEXT: a piece the output must hold ("" for none).
expect() {
    local name=$1 want=$2 text=$3 tree=$4 output status
    output=$("$checker" "$tree" 2>&1)
    status=$?
    if [[ $status -ne $want || ($text != "" && $output != *"$text"*) ]]; then
        echo "FAIL $name: status $status (wanted $want), output:"
        printf '%s\n' "$output"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

layers='top: low
low:
side: low/seam.h
tests: *'

expect "downward include" 0 "" \
    "$(make_tree "$layers" "top/a.cpp|low/b.h" "low/b.h|low/c.h" "side/s.cpp|low/seam.h" "tests/t.cpp|top/a.h")"
expect "upward include" 1 'low/b.cpp:1: includes "top/a.h"' \
    "$(make_tree "$layers" "low/b.cpp|top/a.h")"
expect "sideways include" 1 'top/a.h:1: includes "side/s.h"' \
    "$(make_tree "$layers" "top/a.h|side/s.h")"
expect "header outside the allowed one" 1 'side/s.cpp:1: includes "low/other.h"' \
    "$(make_tree "$layers" "side/s.cpp|low/other.h")"
expect "folder without a row" 1 "no row for the folder extra/" \
    "$(make_tree "$layers" "extra/e.cpp|low/b.h")"
expect "layers in a loop" 1 "the layers form a loop" \
    "$(make_tree 'top: low
low: mid
mid: top' "top/a.cpp|low/b.h")"

[[ $failures -eq 0 ]] && echo "check-includes: all cases pass"
exit $((failures > 0))

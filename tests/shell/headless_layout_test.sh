#!/usr/bin/env bash
# tarnwick --layout ENGINE --positions-out FILE on the sample: every engine
# places every molecule, neighbouring spheres sit a few diameters apart in
# the scene, the file is the node-position format, and Graphviz's failures
# come back with Graphviz's own words.
set -euo pipefail
tarnwick=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat "$src"/sample/schema.sql "$src"/sample/yeast_pathway.sql "$src"/sample/dictionary.sql | sqlite3 "$work/sample.db"
connect="Driver=SQLite3;Database=$work/sample.db"
"$tarnwick" --connect "$connect" --export-dot "$work/sample.dot" >/dev/null
molecules=$(grep -o '"[0-9]*"' "$work/sample.dot" | sort -u | wc -l)

for engine in dot neato fdp sfdp auto; do
    out=$("$tarnwick" --connect "$connect" --layout "$engine" --positions-out "$work/$engine.txt")
    [ "$out" = "Wrote $work/$engine.txt ($molecules of $molecules molecules placed)" ] || { echo "$engine: $out"; exit 1; }
    head -n 1 "$work/$engine.txt" | grep -Eq '^graph 1 [0-9]+\.[0-9]{6} [0-9]+\.[0-9]{6}$'
    [ "$(tail -n 1 "$work/$engine.txt")" = edge ] || { echo "$engine: no edge line at the end"; exit 1; }
    nodes=$(grep -Ec '^node [0-9]+ -?[0-9]+\.[0-9]{6} -?[0-9]+\.[0-9]{6}$' "$work/$engine.txt")
    [ "$nodes" -eq "$molecules" ] || { echo "$engine: $nodes node lines for $molecules molecules"; exit 1; }
    # Median distance to the nearest sphere in scene units (30 per plane unit):
    # 4 diameters of 0.4-radius spheres.
    median=$(awk '$1 == "node" { x[n] = 30 * $3; y[n] = 30 * $4; n++ }
             END { for (i = 0; i < n; i++) { best = -1
                       for (j = 0; j < n; j++) if (j != i) { d = sqrt((x[i] - x[j]) ^ 2 + (y[i] - y[j]) ^ 2)
                                                            if (best < 0 || d < best) best = d }
                       print best } }' "$work/$engine.txt" | sort -g | awk '{ v[NR] = $1 } END { print v[int(NR / 2) + 1] }')
    awk -v m="$median" 'BEGIN { exit !(m > 3.1 && m < 3.3) }' || { echo "$engine: median neighbour $median"; exit 1; }
done
# The same layout twice gives the same file.
"$tarnwick" --connect "$connect" --layout neato --positions-out "$work/again.txt" >/dev/null
cmp "$work/neato.txt" "$work/again.txt"

# Refusals before anything runs.
for args in "--layout neato" "--positions-out $work/x.txt" "--layout circo --positions-out $work/x.txt"; do
    # shellcheck disable=SC2086
    if "$tarnwick" --connect "$connect" $args 2>"$work/err"; then echo "accepted: $args"; exit 1; fi
    grep -q "^Usage: tarnwick" "$work/err"
done
[ ! -e "$work/x.txt" ]

# No Graphviz, a failing Graphviz, an output that cannot be written.
if PATH=/nonexistent "$tarnwick" --connect "$connect" --layout neato --positions-out "$work/x.txt" 2>"$work/err"; then
    echo "layout without Graphviz succeeded"; exit 1
fi
grep -q "install the graphviz package" "$work/err"
mkdir "$work/bin"
printf '#!/bin/sh\necho "Error: <stdin>: syntax error in line 3" >&2\nexit 1\n' >"$work/bin/dot"
chmod +x "$work/bin/dot"
if PATH="$work/bin:$PATH" "$tarnwick" --connect "$connect" --layout sfdp --positions-out "$work/x.txt" 2>"$work/err"; then
    echo "a failing Graphviz counted as success"; exit 1
fi
grep -q "Graphviz (sfdp) failed with exit status 1:" "$work/err"
grep -q "syntax error in line 3" "$work/err"
if "$tarnwick" --connect "$connect" --layout neato --positions-out "$work/none/x.txt" 2>"$work/err"; then
    echo "layout into a missing folder succeeded"; exit 1
fi
grep -q "$work/none/x.txt" "$work/err"
[ ! -e "$work/x.txt" ]
echo "headless layout ok: $molecules molecules"

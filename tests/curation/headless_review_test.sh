#!/usr/bin/env bash
# tarnwick --statistics and --filter on the sample database: line formats, hit
# counts that agree with the listed ids, and refused filter names.
set -euo pipefail
tarnwick=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat "$src"/sample/schema.sql "$src"/sample/yeast_pathway.sql "$src"/sample/dictionary.sql | sqlite3 "$work/sample.db"
connect="Driver=SQLite3;Database=$work/sample.db"

"$tarnwick" --connect "$connect" --statistics "$work/stats.txt" >/dev/null
[ "$(wc -l <"$work/stats.txt")" -eq 2 ] || { echo "statistics must be two lines"; exit 1; }
sed -n 1p "$work/stats.txt" | grep -qE '^precision( [0-9]+){6} $'
sed -n 2p "$work/stats.txt" | grep -qE '^recall [0-9]+ [0-9]+ 0 [0-9]+ [0-9]+ [0-9]+$'

# Each filter's ids and its hits line agree; the precision counts match the
# member-name filters run alone.
for name in expression in-vitro experiments organisms localization modality conjunctions verbs \
    coordination-simple coordination-specific all-markers prepositions; do
    "$tarnwick" --connect "$connect" --filter "$name" "$work/$name.txt" >/dev/null
    hits=$(tail -n 1 "$work/$name.txt" | sed -n 's/^hits \([0-9]*\)$/\1/p')
    [ -n "$hits" ] || { echo "$name: no hits line"; exit 1; }
    [ "$(($(wc -l <"$work/$name.txt") - 1))" -eq "$hits" ] || { echo "$name: $hits hits, other id count"; exit 1; }
done
grep -q '^molecule ' "$work/coordination-specific.txt"
experiments=$(awk '{print $4}' "$work/stats.txt" | head -n 1)
[ "$(tail -n 1 "$work/experiments.txt")" = "hits $experiments" ]

if "$tarnwick" --connect "$connect" --filter no-such-filter "$work/x.txt" 2>"$work/err"; then
    echo "unknown filter accepted"; exit 1
fi
grep -q "all-markers" "$work/err"
[ ! -e "$work/x.txt" ]
if "$tarnwick" --connect "$connect" --filter verbs 2>"$work/err"; then
    echo "--filter without a file accepted"; exit 1
fi
echo "headless review ok: $(tr '\n' '|' <"$work/stats.txt")"

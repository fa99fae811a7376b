#!/usr/bin/env bash
# tarnwick --edit-script: edits replayed before saving, refusals write nothing.
set -euo pipefail
tarnwick=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

{
    cat "$src"/sample/schema.sql
    echo "INSERT INTO \"relation\" (\"rel_ID\", \"rel_mem1\", \"rel_mem2\", \"rel_kind\") VALUES"
    echo "  ('r__1', 'Ras', 'Rasgrf1', 0), ('r__2', 'X', 'Ras', 2), ('r__3', 'Y', 'Z', 2);"
} | sqlite3 "$work/db.sqlite"
connect="Driver=SQLite3;Database=$work/db.sqlite"

printf 'rename\tRas\tKras\nnew-molecule\tKras\tRaf\tReal Molecule\nset-relation\tY\t1\t0\t11\t1\ndelete\tZ\t1\t1\t1\n' \
    >"$work/edits.tsv"
"$tarnwick" --connect "$connect" --edit-script "$work/edits.tsv" --save-pathway "$work/out.bb" >"$work/out"
grep -q "Wrote $work/out.bb" "$work/out"
tr -d '\r' <"$work/out.bb" >"$work/plain"
# Each node is four lines: numbers, name, outgoing links, incoming links.
node() { grep -A2 -x -- "$1" "$work/plain" | tail -n +2 | paste -sd '|'; }
[ "$(node Kras)" = "1 1 0 1| 3 0 4 0" ] || { echo "Kras: $(node Kras)"; exit 1; }  # Y is a source now
grep -qx 'Kras:Rasgrf1:0' "$work/plain"
grep -qx 'Kras-X' "$work/plain"
grep -qx 'Rasgrf1' "$work/plain"
[ "$(node Raf)" = "|" ] || { echo "Raf: $(node Raf)"; exit 1; }
grep -B1 -x Raf "$work/plain" | grep -q '^number 3 relation 0 size 1 '
[ "$(node Y)" = "4 1 2 1 1 0 11 1|" ] || { echo "Y: $(node Y)"; exit 1; }
! grep -qx Z "$work/plain"
grep -A1 -x 'Y:Z:2' "$work/plain" | tail -n 1 | grep -qx ''  # the edge to Z went with it

# A refused edit: its message with the line number, exit 1, no file.
printf 'rename\tRas\tKras\nrename\tY\t9y\n' >"$work/bad.tsv"
if "$tarnwick" --connect "$connect" --edit-script "$work/bad.tsv" --save-pathway "$work/bad.bb" 2>"$work/err"; then
    echo "a refused edit succeeded"; exit 1
fi
grep -q "line 2: 이름의 첫 시작은 숫자가 될 수 없습니다." "$work/err"
[ ! -e "$work/bad.bb" ]
# An empty script saves the graph as it is; a folder is no script.
"$tarnwick" --connect "$connect" --save-pathway "$work/unedited.bb" >/dev/null
for script in "$work/empty.tsv" /dev/null; do
    : >"$work/empty.tsv"
    "$tarnwick" --connect "$connect" --edit-script "$script" --save-pathway "$work/none.bb" >/dev/null
    cmp "$work/unedited.bb" "$work/none.bb"
    rm "$work/none.bb"
done
if "$tarnwick" --connect "$connect" --edit-script "$work" --save-pathway "$work/none.bb" 2>"$work/err"; then
    echo "a folder as the edit script succeeded"; exit 1
fi
grep -q "cannot read the edit script" "$work/err"
[ ! -e "$work/none.bb" ]
if "$tarnwick" --connect "$connect" --edit-script "$work/edits.tsv" 2>"$work/err"; then
    echo "an edit script without --save-pathway succeeded"; exit 1
fi
# The same edits on an opened pathway file give the same file (no box cells
# either way once opened).
"$tarnwick" --connect "$connect" --save-pathway "$work/plain.bb" >/dev/null
"$tarnwick" --open-pathway "$work/plain.bb" --edit-script "$work/edits.tsv" --save-pathway "$work/opened.bb" >/dev/null
"$tarnwick" --open-pathway "$work/out.bb" --save-pathway "$work/reread.bb" >/dev/null
cmp "$work/opened.bb" "$work/reread.bb"
echo "headless edits ok"

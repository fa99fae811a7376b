#!/usr/bin/env bash
# The headless export must not need a window system: with no display at
# all, creating a QApplication would abort the program.
set -euo pipefail
tarnwick=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat "$src"/sample/schema.sql "$src"/sample/yeast_pathway.sql | sqlite3 "$work/sample.db"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb \
    "$tarnwick" --connect "Driver=SQLite3;Database=$work/sample.db" --export-dot "$work/out.dot"
[ "$(tail -c 1 "$work/out.dot")" = "}" ]
echo "headless export ran without a display"

# The sphere layout's cell map, headless: one "column:ring-Val : circle \r\n"
# line per circle, the first group's seed in 0:0.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb \
    "$tarnwick" --connect "Driver=SQLite3;Database=$work/sample.db" --dump-sphere-grid "$work/grid.txt"
head -n 1 "$work/grid.txt" | grep -q $'^0:0-Val : 1 \r$'
if grep -qv $'^[0-9]*:[0-9]*-Val : [0-9]* \r$' "$work/grid.txt"; then echo "malformed grid line"; exit 1; fi
circles=$(wc -l <"$work/grid.txt")
[ "$circles" -gt 50 ] || { echo "only $circles cells"; exit 1; }
[ "$(cut -d' ' -f3 "$work/grid.txt" | sort -n | uniq | wc -l)" -eq "$circles" ] || { echo "a circle placed twice"; exit 1; }
if "$tarnwick" --connect "Driver=SQLite3;Database=$work/sample.db" --dump-sphere-grid "$work/none/g.txt" 2>"$work/err"; then
    echo "dump into a missing folder succeeded"; exit 1
fi
grep -q "$work/none/g.txt" "$work/err"
echo "headless sphere grid ok: $circles cells"

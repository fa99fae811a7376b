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

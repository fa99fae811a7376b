#!/usr/bin/env bash
# Without any display: the headless export runs (creating a QApplication
# would abort the program), help and refusals need no window, and a plain
# start says that the window needs a display instead of aborting.
set -euo pipefail
tarnwick=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cat "$src"/sample/schema.sql "$src"/sample/yeast_pathway.sql | sqlite3 "$work/sample.db"
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$tarnwick" "$@"; }
expect() {  # expect CODE TEXT -- ARGS...: exit code and a part of the output
    local code=$1 text=$2 got=0
    shift 3
    nodisplay "$@" >"$work/said" 2>&1 || got=$?
    [ "$got" = "$code" ] || { echo "tarnwick $*: exit $got, expected $code"; cat "$work/said"; exit 1; }
    grep -qF -- "$text" "$work/said" || { echo "tarnwick $*: no \"$text\" in:"; cat "$work/said"; exit 1; }
}

nodisplay --connect "Driver=SQLite3;Database=$work/sample.db" --export-dot "$work/out.dot"
[ "$(tail -c 1 "$work/out.dot")" = "}" ]

expect 0 "Usage: tarnwick" -- --help
expect 0 "Tarnwick 1.0" -- --version
expect 2 "needs a value" -- --export-dot --save-pathway b.bb
[ ! -e "$work/--save-pathway" ] && [ ! -e "$work/b.bb" ]
expect 2 "unknown option --bogus" -- --bogus
expect 1 "the window needs an X display" --
expect 1 "the window needs an X display" -- -platform xcb
# Arguments for Qt pass to it; what Qt does not know is refused.
expect 2 "unknown argument -bogus" -- -platform offscreen -bogus
echo "no display needed for headless commands, help and refusals"
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

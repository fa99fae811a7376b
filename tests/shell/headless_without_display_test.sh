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

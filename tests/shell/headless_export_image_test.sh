#!/usr/bin/env bash
# --export-image without a window, on the sample: run inside xvfb-run. The
# picture has the size asked for and shows the scene on a black background;
# without any display the program says so and fails.
#   headless_export_image_test.sh TARNWICK SOURCE_DIR
set -euo pipefail
tarnwick=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$src"/sample/yeast.graph.txt .
cat "$src"/sample/schema.sql "$src"/sample/yeast_pathway.sql | sqlite3 sample.db
connect="Driver=SQLite3;Database=$work/sample.db"
fail() { echo "$*"; exit 1; }

"$tarnwick" --connect "$connect" --export-image box.png --size 320x240 >said
grep -qx "Wrote box.png (320x240)" said || fail "box: $(cat said)"
[ "$(identify -format '%w %h' box.png)" = "320 240" ] || fail "box.png is not 320x240"
# Black in the corner, green spheres and some other colour somewhere.
[ "$(convert box.png -format '%[pixel:p{0,0}]' info:)" = "srgb(0,0,0)" ] || fail "box.png: corner not black"
colours=$(convert box.png -format %k info:)
[ "$colours" -gt 20 ] || fail "box.png has only $colours colours"

"$tarnwick" --connect "$connect" --export-image sphere.png --view sphere >said
grep -qx "Wrote sphere.png (1024x768)" said || fail "sphere: $(cat said)"
cmp -s box.png sphere.png && fail "the two views gave one picture"

# The same command twice gives the same picture.
"$tarnwick" --connect "$connect" --export-image again.png --size 320x240 >/dev/null
cmp -s box.png again.png || fail "a second export differs"

status=0
env -u DISPLAY "$tarnwick" --connect "$connect" --export-image none.png >said 2>&1 || status=$?
[ "$status" = 1 ] || fail "without a display: exit $status"
grep -q "DISPLAY is not set" said || fail "without a display: $(cat said)"
[ ! -e none.png ] || fail "a picture was written without a display"

status=0
"$tarnwick" --connect "Driver=SQLite3;Database=$work/missing/none.db" --export-image bad.png >said 2>&1 || status=$?
[ "$status" = 1 ] || fail "unreadable data: exit $status"
[ ! -e bad.png ] || fail "a picture was written without data"
echo "headless pictures ok ($colours colours in the box view)"

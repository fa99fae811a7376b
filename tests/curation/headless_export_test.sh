#!/usr/bin/env bash
# tarnwick --export-dot on the sample database: exit codes, file bytes, and Graphviz accepts it.
set -euo pipefail
tarnwick=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat "$src"/sample/schema.sql "$src"/sample/yeast_pathway.sql "$src"/sample/dictionary.sql | sqlite3 "$work/sample.db"
connect="Driver=SQLite3;Database=$work/sample.db"

"$tarnwick" --connect "$connect" --export-dot "$work/yeast.dot"
head -c 42 "$work/yeast.dot" | grep -q '^graph "cs" { node \[ fontname = "Arial"$'
[ "$(tail -c 1 "$work/yeast.dot")" = "}" ] || { echo "file must end with } and no line feed"; exit 1; }
if grep -q $'\r' "$work/yeast.dot"; then echo "CR in file"; exit 1; fi
edges=$(grep -c -- '--' "$work/yeast.dot")
[ "$edges" -ge 60 ] || { echo "only $edges edge lines"; exit 1; }
dot -Tcanon "$work/yeast.dot" >"$work/canon.dot"
grep -q -- '--' "$work/canon.dot"

# Failures: a file that cannot be created, a data source that does not exist.
if "$tarnwick" --connect "$connect" --export-dot "$work/none/x.dot" 2>"$work/err"; then
    echo "export into a missing folder succeeded"; exit 1
fi
grep -q "$work/none/x.dot" "$work/err"
[ ! -e "$work/none" ]
if "$tarnwick" --connect "DSN=TarnwickNoSuchSource" --export-dot "$work/y.dot" 2>"$work/err"; then
    echo "export without a data source succeeded"; exit 1
fi
grep -q "Data source name not found" "$work/err"
[ ! -e "$work/y.dot" ]
# A device is written into, not replaced (as root a rename would replace it).
if mknod "$work/null" c 1 3 2>/dev/null; then
    "$tarnwick" --connect "$connect" --export-dot "$work/null" >/dev/null
    [ -c "$work/null" ] || { echo "export replaced the device"; exit 1; }
fi
echo "headless export ok: $edges edges"

# The relation-node graph saved headless, with the start-up grid's cells.
"$tarnwick" --connect "$connect" --save-pathway "$work/yeast.bb"
head -n 1 "$work/yeast.bb" | grep -q $'^m_circle_count [0-9]* m_num_hor [0-9]* m_num_ver [0-9]* \r$'
sed -n 2p "$work/yeast.bb" | grep -q $'^CircleNum 1 .* hor 0 ver 0 \r$'
if "$tarnwick" --connect "$connect" --save-pathway "$work/none/x.bb" 2>"$work/err"; then
    echo "save into a missing folder succeeded"; exit 1
fi
grep -q "$work/none/x.bb" "$work/err"
echo "headless save ok"

# Line breaks in member names become "_" at load and are counted on stderr;
# every line of the saved file still ends with CR LF.
sqlite3 "$work/sample.db" "INSERT INTO relation (rel_ID, rel_mem1, rel_mem2, rel_kind, rel_rem) VALUES
    ('r__901', 'Line' || char(10) || 'Break', 'Ste5', 2, '1'),
    ('r__902', 'Cr' || char(13) || char(10) || 'Lf', 'Fus3' || char(13) || 'x', 2, '1')"
"$tarnwick" --connect "$connect" --save-pathway "$work/breaks.bb" 2>"$work/err"
grep -qx "tarnwick: 2 rows had line breaks in member names; replaced by _" "$work/err"
grep -q "^Line_Break" "$work/breaks.bb"
if grep -qv $'\r$' "$work/breaks.bb"; then echo "a line of the pathway file was split"; exit 1; fi
echo "line breaks in names repaired"

# The start-up graph as the window saves it right after opening: circles
# numbered 1, 2, ... with one molecule each, every circle in a box cell.
"$tarnwick" --connect "$connect" --save-pathway "$work/startup.bb" --startup
count=$(head -n 1 "$work/startup.bb" | sed -n 's/^m_circle_count \([0-9]*\) .*/\1/p')
awk -v count="$count" '/^CircleNum / {
        ++n
        if ($2 != n || $12 != 1 || $14 < 0 || $16 < 0) { print "bad circle line " n ": " $0; bad = 1 }
    }
    END { if (bad || n != count - 1) { print n " circles for m_circle_count " count; exit 1 } }' "$work/startup.bb"
if "$tarnwick" --connect "$connect" --startup 2>"$work/err"; then
    echo "--startup without --save-pathway succeeded"; exit 1
fi
grep -q -- "--save-pathway" "$work/err"
echo "headless start-up save ok: $((count - 1)) circles"

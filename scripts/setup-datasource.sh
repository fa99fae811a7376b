#!/usr/bin/env bash
# Makes sure the ODBC data source "InteractionDB" exists. When no DSN of that
# name is configured (user or system), creates a SQLite database from the
# sample SQL and registers it as the current user's DSN. An existing DSN is
# never touched. NoCreat keeps the driver from creating a missing file;
# Timeout bounds the wait for another program's lock (milliseconds).
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
db="$data_home/tarnwick/InteractionDB.sqlite"

if odbcinst -q -s -n InteractionDB >/dev/null 2>&1; then
    echo "Data source InteractionDB already configured; leaving it as it is."
    exit 0
fi

if [ ! -s "$db" ]; then
    mkdir -p "$(dirname "$db")"
    tmp="$db.new"
    rm -f "$tmp"
    cat "$src/sample/schema.sql" "$src/sample/yeast_pathway.sql" "$src/sample/dictionary.sql" | sqlite3 -bail "$tmp"
    mv "$tmp" "$db"
    echo "Created $db from the sample pathway."
fi

template=$(mktemp)
trap 'rm -f "$template"' EXIT
cat >"$template" <<INI
[InteractionDB]
Description=Tarnwick interaction database (SQLite)
Driver=SQLite3
Database=$db
NoCreat=1
Timeout=3000
INI
odbcinst -i -s -h -f "$template"
echo "Registered the user data source InteractionDB -> $db"

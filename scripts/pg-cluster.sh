#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the data-layer tests.
#   pg-cluster.sh start DIR   creates and starts a cluster under DIR (socket in DIR,
#                             loopback only), creates database "tarnwick" and
#                             prints its ODBC connection string
#   pg-cluster.sh stop DIR    stops it and removes DIR
# The server refuses to run as root, so it runs as the "postgres" user.
set -euo pipefail

action=${1:?start or stop}
dir=${2:?directory}
bindir=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_postgres() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }

case "$action" in
start)
    mkdir -p "$dir"
    [ "$(id -u)" = 0 ] && chown postgres: "$dir"
    as_postgres "$bindir/initdb" -D "$dir/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1
    port=$(( 20000 + RANDOM % 20000 ))
    as_postgres "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
        -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null
    as_postgres "$bindir/createdb" -h "$dir" -p "$port" -U postgres tarnwick
    echo "Driver=PostgreSQL Unicode;Servername=127.0.0.1;Port=$port;Database=tarnwick;UID=postgres;PWD=;SSLmode=disable"
    ;;
stop)
    if [ -d "$dir/data" ]; then
        as_postgres "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac

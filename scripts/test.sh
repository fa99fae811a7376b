#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suites on SQLite,
# the data-layer suite again on a throwaway PostgreSQL server, and the GUI
# tests under Xvfb.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
"$src/scripts/install-deps.sh"
"$src/scripts/build.sh"

pgdir=$(mktemp -d /tmp/tarnwick-pg.XXXXXX)
trap '"$src/scripts/pg-cluster.sh" stop "$pgdir"' EXIT
TW_PG_CONNECT=$("$src/scripts/pg-cluster.sh" start "$pgdir")
export TW_PG_CONNECT

cd "$src/build"
ctest --output-on-failure -j2

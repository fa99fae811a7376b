#!/usr/bin/env bash
# Installs what is missing, builds, makes sure the data source InteractionDB
# exists and starts Tarnwick on it. Extra arguments go to the program
# (for example --connect "Driver=SQLite3;Database=/path/file.db").
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
"$src/scripts/install-deps.sh"
"$src/scripts/build.sh"
"$src/scripts/setup-datasource.sh"
# The program reads the node positions "yeast.graph.txt" from its current folder.
cd "$src/sample"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    out="$src/build/yeast.dot"
    echo "No display to open the window on (DISPLAY is not set); run this from a desktop session."
    echo "Meanwhile the start-up pathway is exported headless:"
    exec "$src/build/src/shell/tarnwick" --export-dot "$out" "$@"
fi
exec "$src/build/src/shell/tarnwick" "$@"

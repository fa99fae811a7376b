#!/usr/bin/env bash
# Installs what is missing, builds, makes sure the data source InteractionDB
# exists and starts Tarnwick on it. Extra arguments go to the program.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
"$src/scripts/install-deps.sh"
"$src/scripts/build.sh"
"$src/scripts/setup-datasource.sh"
# The program reads the node positions "yeast.graph.txt" from its current folder.
cd "$src/sample"
out="$src/build/yeast.dot"
"$src/build/src/shell/tarnwick" --export-dot "$out" "$@"
echo "The Graphviz export of the start-up pathway is in $out"

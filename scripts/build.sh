#!/usr/bin/env bash
# Configures and builds Tarnwick and its tests into build/.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$src" -B "$src/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_BUILD_TESTS=ON -DTARNWICK_BUILD_GUI=ON >/dev/null
cmake --build "$src/build" -j"$(nproc)"

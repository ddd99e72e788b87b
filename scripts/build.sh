#!/usr/bin/env bash
# Configures and builds into build/ (the executable is build/tarvik).
# Usage: scripts/build.sh [cmake --build arguments, e.g. --target tarvik]
set -euo pipefail
cd "$(dirname "$0")/.."
"$(dirname "$0")/deps.sh"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_TESTS=ON \
    -DTARVIK_WERROR=ON >/dev/null
cmake --build build -j2 "$@"

#!/usr/bin/env bash
# Builds everything from scratch in build/ and runs every test; non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2

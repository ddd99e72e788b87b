#!/usr/bin/env bash
# Builds the program, makes a demo installation in demo/ when there is none, and starts it.
# Demo login: ADMIN / admin
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh --target tarvik
home="${TARVIK_HOME:-$PWD/demo}"
if [ ! -f "$home/adatok/tarvik.sqlite" ]; then
    ./build/tarvik --init --demo --home "$home" --admin-password admin
fi
exec ./build/tarvik --home "$home" "$@"

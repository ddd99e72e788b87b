#!/usr/bin/env bash
# Builds everything from scratch in build/ and runs every test; non-zero on any failure.
# The tests of the shared register run against a throwaway PostgreSQL server started here.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
server=$(mktemp -d /tmp/tarvik-pg.XXXXXX)
trap './scripts/office-server.sh stop "$server" || true; rm -rf "$server"' EXIT
# Each test makes its own databases through the server's first one.
TARVIK_TEST_SERVER=$(./scripts/office-server.sh start "$server" postgres)
export TARVIK_TEST_SERVER
ctest --test-dir build --output-on-failure -j2

#!/usr/bin/env bash
# Builds everything from scratch in build/ and runs every test; non-zero on any failure.
# The tests of the shared register run against a throwaway PostgreSQL server started here.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
server=$(mktemp -d /tmp/tarvik-pg.XXXXXX)
trap './scripts/office-server.sh stop "$server" || true; rm -rf "$server"' EXIT
# An interrupted run stops the tests and the server too.
tests=
trap '[ -n "$tests" ] && kill "$tests" 2>/dev/null; exit 130' INT TERM
# Each test makes its own databases through the server's first one.
TARVIK_TEST_SERVER=$(./scripts/office-server.sh start "$server" postgres)
export TARVIK_TEST_SERVER
# In the background, so that a signal reaches the traps while the tests run.
ctest --test-dir build --output-on-failure -j2 &
tests=$!
wait "$tests"

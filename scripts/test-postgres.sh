#!/usr/bin/env bash
# Runs the built tests on PostgreSQL: a private server in a temporary folder (Unix socket only),
# stopped and removed at the end however the tests end. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
pgdir=$(mktemp -d /tmp/corvane-pg.XXXXXX)
cleanup() {
  bash scripts/pg-test-server.sh stop "$pgdir" || true
  rm -rf "$pgdir"
}
trap cleanup EXIT
bash scripts/pg-test-server.sh start "$pgdir" >/dev/null
export QT_QPA_PLATFORM=offscreen CORVANE_TEST_DB=postgres CORVANE_TEST_PGHOST="$pgdir"
# The package test checks the installed file layout; it has no database of its own.
ctest --test-dir build --output-on-failure -j2 -E '^package$' "$@"

#!/usr/bin/env bash
# Sets up, builds and runs every test headless: on the encrypted file, then on a private PostgreSQL
# server that scripts/test-postgres.sh starts and stops itself. Fails when either run fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
failed=()
echo "== Tests on the encrypted file"
ctest --test-dir build --output-on-failure -j2 || failed+=(file)
echo "== Tests on PostgreSQL"
bash scripts/test-postgres.sh || failed+=(PostgreSQL)
if [ ${#failed[@]} -gt 0 ]; then
  echo "Tests failed on: ${failed[*]}" >&2
  exit 1
fi

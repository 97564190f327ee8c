#!/usr/bin/env bash
# Sets up, builds and launches the program. Without a config.txt beside the program, a demo
# database is made beside the build and config.txt is written to point at it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
bin="$PWD/build/bin"
if [ ! -f "$bin/config.txt" ]; then
  db="$PWD/build/demo.db"
  [ -f "$db" ] || "$bin/corvane-mkdb" --demo "$db" >/dev/null
  printf '"Corvane Order Management"\nDatabase,"%s"\nPriceChangeCutoff,1/1/2010\n' "$db" > "$bin/config.txt"
fi
exec "$bin/corvane"

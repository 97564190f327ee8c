#!/usr/bin/env bash
# The server benchmarks on a private PostgreSQL server on this machine (Unix socket only), stopped
# and removed at the end however they end: the shop FILE is copied onto it, then bench_documents,
# bench_windows, bench_startup and bench_shipsave run against it, each the same way on FILE.
#   tools/bench/server-benches.sh FILE [RUNS] [BUILD]
# FILE is a shop made by `corvane-mkdb --size 40 --today 2026-12-01` (bench_documents' arguments
# are chosen for that day).
set -euo pipefail
file=$(realpath "${1:?usage: server-benches.sh FILE [RUNS] [BUILD]}")
runs=${2:-5}
cd "$(dirname "$0")/../.."
build=$(realpath "${3:-build}")
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
pgdir=$(mktemp -d /tmp/corvane-bench-pg.XXXXXX)
cleanup() {
  bash scripts/pg-test-server.sh stop "$pgdir" || true
  rm -rf "$pgdir"
}
trap cleanup EXIT
bash scripts/pg-test-server.sh start "$pgdir" >/dev/null
"$bin/createdb" -h "$pgdir" -U postgres shop
uri="postgresql:///shop?host=$pgdir&user=postgres"
"$build/bin/corvane-mkdb" --copy-from "$file" "$uri" >/dev/null
# Fresh planner statistics, as a server's autovacuum would have them after the copy.
"$bin/psql" -X -q -d "$uri" -c 'VACUUM ANALYZE'
export QT_QPA_PLATFORM=offscreen
uptime
echo "== startup"
"$build/bin/bench_startup" --runs "$runs" "$file" "$uri"
echo "== windows (file)"
"$build/bin/bench_windows" "$file" --runs "$runs"
echo "== windows (server)"
"$build/bin/bench_windows" "$uri" --runs "$runs"
uptime
echo "== documents (server)"
"$build/bin/bench_documents" --db "$uri" --runs "$runs" --work "$pgdir/work"
uptime
# Last: it ships and cuts on the server database.
echo "== 40-line shipment save"
"$build/bin/bench_shipsave" "$file" --runs "$runs"
"$build/bin/bench_shipsave" "$uri" --runs "$runs"
uptime

#!/usr/bin/env bash
# A private PostgreSQL server for the tests: `start DIR` makes a cluster in DIR and serves it on a
# Unix socket in DIR only (no TCP port); `stop DIR` stops it. Run as root, the server runs as the
# postgres account, which the folder is handed to.
set -euo pipefail
action=${1:-}
dir=${2:-}
if [ -z "$action" ] || [ -z "$dir" ]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ]; then
  echo "$0: PostgreSQL is not installed (scripts/deps.sh installs it)" >&2
  exit 1
fi
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  as_owner=(runuser -u postgres --)
fi

case "$action" in
  start)
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    if [ ${#as_owner[@]} -gt 0 ]; then
      chown postgres: "$dir"
      # The server's account must reach the folder through every parent.
      p=$(dirname "$dir")
      while [ "$p" != / ]; do chmod o+x "$p" 2>/dev/null || true; p=$(dirname "$p"); done
    fi
    "${as_owner[@]}" "$bin/initdb" -D "$dir/data" -U postgres --auth=trust --no-sync \
      --encoding=UTF8 --locale=C >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    # Everyone is trusted on the private socket but the clerk, whose password the tests check.
    { echo "local all clerk scram-sha-256"; cat "$dir/data/pg_hba.conf"; } >"$dir/hba" &&
      cat "$dir/hba" >"$dir/data/pg_hba.conf" && rm -f "$dir/hba"
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -s \
      -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off -c max_connections=200" \
      start || { cat "$dir/server.log" >&2; exit 1; }
    echo "$dir"
    ;;
  stop)
    [ -d "$dir/data" ] || exit 0
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -w -s -m immediate stop || true
    ;;
  *)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac

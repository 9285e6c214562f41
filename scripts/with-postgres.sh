#!/usr/bin/env bash
# Runs a command against a throwaway PostgreSQL cluster made for it: a fresh cluster in a temporary
# folder, reached only through a socket there (no TCP port), owned by an unprivileged user since the
# server refuses to run as root. The command finds the connection in KUHNEMER_TEST_SERVER (a libpq
# connection string) and in the PG* variables; the cluster is stopped and removed afterwards.
# Usage: scripts/with-postgres.sh COMMAND [ARGS...]
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGS...]" >&2; exit 2; }
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -n "$bin" ] || { echo "PostgreSQL server is not installed (package postgresql)" >&2; exit 1; }

dir=$(mktemp -d /tmp/kuhnemer-pg.XXXXXX)
run=()
if [ "$(id -u)" -eq 0 ]; then
  chown postgres: "$dir"
  run=(runuser -u postgres --)
fi
chmod 700 "$dir"
cleanup() {
  "${run[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
}
trap cleanup EXIT

"${run[@]}" "$bin/initdb" -D "$dir/data" -U kuhnemer -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
  { cat "$dir/initdb.log" >&2; exit 1; }
# Two roles for the connection failures the tests provoke: one with a password, one without the
# right to connect. Every other user comes in over the socket without a password.
"${run[@]}" sed -i '1i local all guarded scram-sha-256' "$dir/data/pg_hba.conf"
"${run[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
  -o "-k $dir -c listen_addresses= -c fsync=off -c max_connections=100" start >/dev/null ||
  { cat "$dir/server.log" >&2; exit 1; }
"${run[@]}" "$bin/createdb" -h "$dir" -U kuhnemer kuhnemer
"${run[@]}" "$bin/psql" -q -h "$dir" -U kuhnemer -d kuhnemer -v ON_ERROR_STOP=1 \
  -c "CREATE ROLE guarded LOGIN PASSWORD 'right'" -c "CREATE ROLE visitor LOGIN" \
  -c "REVOKE CONNECT ON DATABASE kuhnemer FROM PUBLIC" -c "CREATE EXTENSION amcheck"

export PGHOST="$dir" PGUSER=kuhnemer PGDATABASE=kuhnemer
export KUHNEMER_TEST_SERVER="host=$dir user=kuhnemer dbname=kuhnemer"
set +e
"$@"
status=$?
set -e
exit $status

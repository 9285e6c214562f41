#!/usr/bin/env bash
# Installs what is needed (the desktop's packages and a local PostgreSQL server), builds, starts a
# throwaway local server, moves a fresh demo kitchen onto it and starts the program on that server
# kitchen. The server and its kitchen are removed when the program ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" desktop-packages.txt server-packages.txt
bash "$root/scripts/build.sh"
exec bash "$root/scripts/with-postgres.sh" bash -c '
  set -euo pipefail
  bin="$1"; shift
  kitchen=$(mktemp -d)
  trap "rm -rf \"$kitchen\"" EXIT
  "$bin/kuhnemer-data" create "$kitchen/DATA" --demo
  "$bin/kuhnemer-data" move "$kitchen/DATA" "$KUHNEMER_TEST_SERVER"
  "$bin/kuhnemer" --server "$KUHNEMER_TEST_SERVER" "$@"
' demo-server "$root/build/bin" "$@"

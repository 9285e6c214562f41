#!/usr/bin/env bash
# Installs what is needed (with a spreadsheet application and fonts for the print-outs), builds,
# creates the demo kitchen beside the program if there is none, and starts the program on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" desktop-packages.txt
bash "$root/scripts/build.sh"
data="$root/build/bin/DATA"
[ -f "$data/kuhnemer.sqlite" ] || "$root/build/bin/kuhnemer-data" create "$data" --demo
exec "$root/build/bin/kuhnemer" "$@"

#!/usr/bin/env bash
# Installs what is needed, checks the sources' format, builds with warnings as errors and runs the whole test suite headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" test-packages.txt
bash "$root/scripts/check-format.sh"
bash "$root/scripts/build.sh" -DKUHNEMER_WERROR=ON
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
# The whole suite again with every test kitchen on a throwaway PostgreSQL cluster (what only a kitchen
# file has skips there, saying so).
QT_QPA_PLATFORM=offscreen bash "$root/scripts/with-postgres.sh" ctest --output-on-failure -j"$(nproc)"

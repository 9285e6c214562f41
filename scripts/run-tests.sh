#!/usr/bin/env bash
# Installs what is needed, checks the sources' format, builds with warnings as errors and runs the whole test suite headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" test-packages.txt
bash "$root/scripts/check-format.sh"
bash "$root/scripts/build.sh" -DKUHNEMER_WERROR=ON
cd "$root/build"
server_tests='^(tst_Engines|tst_KitchenCommands|tst_ChainCommands|tst_MainWindow|tst_SalesSummary|tst_ConcurrentPostings|tst_SideBySideEdits)$'
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
# The tests whose rows also run on a server kitchen, again against a throwaway PostgreSQL cluster.
QT_QPA_PLATFORM=offscreen bash "$root/scripts/with-postgres.sh" ctest --output-on-failure -R "$server_tests"

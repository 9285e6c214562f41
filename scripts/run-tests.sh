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
# file has skips there, saying so). The programs named here do not pass on a server kitchen yet; each
# is to leave this list once it does.
server_pending='^(tst_IngredientCatalog|tst_PriceHistory|tst_PrintJobRun|tst_SalesSummary|tst_Maintenance|tst_Schema|tst_ChainCommands|tst_InventoryDocuments|tst_StockDocuments|tst_WarehouseWindows)$'
QT_QPA_PLATFORM=offscreen bash "$root/scripts/with-postgres.sh" ctest --output-on-failure -j"$(nproc)" -E "$server_pending"

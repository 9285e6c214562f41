#!/usr/bin/env bash
# Builds the package, checks it with lintian, installs it, starts both programs with --help, creates a
# kitchen with the installed tool, and removes the package again. Run as root (or through sudo).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/package.sh"
deb=$(ls "$root"/build-package/kuhnemer_*_amd64.deb)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "== lintian"
lintian --fail-on error "$deb"
echo "== install"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb"
test -x /usr/bin/kuhnemer && test -x /usr/bin/kuhnemer-data
test -f /usr/share/applications/kuhnemer.desktop
test -f /usr/share/icons/hicolor/scalable/apps/kuhnemer.svg
kuhnemer --help
kuhnemer-data --help
kitchen=$(mktemp -d)
kuhnemer-data create "$kitchen/DATA" --demo
kuhnemer-data check "$kitchen/DATA"
rm -rf "$kitchen"
echo "== remove"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq kuhnemer
! test -e /usr/bin/kuhnemer
echo "package test passed"

#!/usr/bin/env bash
# Installs the Debian packages listed in debian-packages.txt, and in the further lists named as
# arguments (file names beside this script), as root or through sudo.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lists=("$here/debian-packages.txt")
for list in "$@"; do lists+=("$here/$list"); done
mapfile -t packages < <(cat "${lists[@]}" | grep -v '^\s*#' | grep -v '^\s*$')
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

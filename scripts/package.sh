#!/usr/bin/env bash
# Builds the Debian package from a clean Release build: build-package/kuhnemer_<version>_amd64.deb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" package-packages.txt
# Debian's hardening: stack protector, fortified functions, full RELRO with immediate binding.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
# Flags are read at the first configure only: start from a clean tree.
rm -rf "$root/build-package"
cmake -S "$root" -B "$root/build-package" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKUHNEMER_BUILD_TESTS=OFF \
  -DKUHNEMER_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr
cmake --build "$root/build-package" -j"$(nproc)"
cd "$root/build-package"
cpack -G DEB
ls "$root"/build-package/kuhnemer_*_amd64.deb

#!/usr/bin/env bash
# Builds the Debian package build/verselet_VERSION_ARCH.deb: scripts/package.sh
set -euo pipefail
umask 022
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/deps.sh"
bash "$root/scripts/deps.sh" dpkg-dev file
build="$root/build/package"
mkdir -p "$build"
# Debian's own hardening and optimisation flags, as a package built by dpkg would have them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=None -DVERSELET_TESTS=OFF -DVERSELET_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >"$root/build/configure-package.log" 2>&1 ||
  { cat "$root/build/configure-package.log" >&2; exit 1; }
cmake --build "$build" -j"$(nproc)" -- --no-print-directory -s
(cd "$build" && cpack -G DEB >"$root/build/cpack.log" 2>&1) || { cat "$root/build/cpack.log" >&2; exit 1; }
rm -f "$root"/build/verselet_*.deb
mv "$build"/verselet_*.deb "$root/build/"
ls "$root"/build/verselet_*.deb

#!/usr/bin/env bash
# Installs what is missing, builds Verselet and starts the editor: scripts/run.sh [--build-only | FILE]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_only=0
if [ "${1-}" = "--build-only" ]; then
  build_only=1
  shift
fi
bash "$root/scripts/deps.sh"
build="$root/build/release"
mkdir -p "$root/build"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERSELET_TESTS=OFF \
    -DVERSELET_BENCH=OFF >"$root/build/configure-release.log" 2>&1 ||
    { cat "$root/build/configure-release.log" >&2; exit 1; }
fi
cmake --build "$build" --target verselet -j"$(nproc)" -- --no-print-directory -s
[ "$build_only" -eq 1 ] && exit 0
exec "$build/bin/verselet" "$@"

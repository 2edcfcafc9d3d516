#!/usr/bin/env bash
# Installs what is missing, builds Verselet and starts the editor: scripts/run.sh [FILE]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/deps.sh"
build="$root/build/release"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERSELET_TESTS=OFF \
    -DVERSELET_BENCH=OFF >"$root/build/configure-release.log" 2>&1 ||
    { cat "$root/build/configure-release.log" >&2; exit 1; }
fi
cmake --build "$build" --target verselet -j"$(nproc)" -- --no-print-directory -s
exec "$build/bin/verselet" "$@"

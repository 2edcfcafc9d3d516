#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers and runs every test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/deps.sh"
build="$root/build/test"
mkdir -p "$root/build"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVERSELET_SANITIZE=ON \
    >"$root/build/configure-test.log" 2>&1 ||
    { cat "$root/build/configure-test.log" >&2; exit 1; }
fi
cmake --build "$build" -j"$(nproc)" -- --no-print-directory -s
cd "$build"
ctest --output-on-failure

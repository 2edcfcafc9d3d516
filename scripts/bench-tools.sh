#!/usr/bin/env bash
# The clean-up and conversion rows of the benchmark table: verselet-tool against sed and uconv.
# Sourced by a larger benchmark script for bench_tools, or run by itself.
set -euo pipefail

# bench_tools BUILD_DIR: builds verselet-tool and the benchmarks in BUILD_DIR
# (a Release build) and prints one row per command: the tool's and the
# reference's median time and peak memory over five interleaved rounds, and
# their ratio.
bench_tools() {
  local build="$1"
  command -v uconv >/dev/null || { apt-get update -qq && apt-get install -y -qq icu-devtools; } >/dev/null
  cmake --build "$build" --target verselet-tool verselet-bench -j"$(nproc)" -- --no-print-directory -s
  "$build/bin/verselet-bench" --benchmark_filter='Vs(Sed|Uconv)' --benchmark_counters_tabular=true
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  bash "$root/scripts/deps.sh"
  build="$root/build/bench"
  mkdir -p "$root/build"
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVERSELET_TESTS=OFF \
      >"$root/build/configure-bench.log" 2>&1 ||
      { cat "$root/build/configure-bench.log" >&2; exit 1; }
  fi
  bench_tools "$build"
fi

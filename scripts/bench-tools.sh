#!/usr/bin/env bash
# The clean-up and conversion rows of the benchmark table: verselet-tool against sed and uconv.
# Sourced by a larger benchmark script for bench_tools, or run by itself.
# BENCH_TOOLS_FILTER picks some of the benchmarks (a regular expression of their names).
set -euo pipefail

# bench_tools BUILD_DIR: builds verselet-tool and the benchmarks in BUILD_DIR
# (a Release build) and prints one table row per command (work, reference,
# Verselet, ratio, aim): the tool's and the reference's median time and peak
# memory over five interleaved rounds, and their ratio.
bench_tools() {
  local build="$1"
  command -v uconv >/dev/null || { apt-get update -qq && apt-get install -y -qq icu-devtools; } >/dev/null
  cmake --build "$build" --target verselet-tool verselet-bench -j"$(nproc)" -- --no-print-directory -s >&2
  "$build/bin/verselet-bench" --benchmark_filter="${BENCH_TOOLS_FILTER:-Vs(Sed|Uconv)}" --benchmark_format=json 2>/dev/null |
    python3 -c '
import json, sys
works = {
    "BM_DeleteTimeTagsVsSed": ("\"タイムタグをすべて削除\" on 100 MB (verselet-tool)", "sed removing the tags", "≤ 1.0× sed; memory bounded"),
    "BM_DeleteKaraokeTagsVsSed": ("\"行頭以外のカラオケタグを削除\" on 100 MB (verselet-tool)", "sed removing the tags", "≤ 1.0× sed; memory bounded"),
    "BM_DeleteBlankLinesVsSed": ("\"無駄な行を削除\" on 100 MB (verselet-tool)", "sed removing the tags", "≤ 1.0× sed; memory bounded"),
    "BM_ConvertToHalfwidthVsSed": ("\"半角に変換\" on 100 MB (verselet-tool convert)", "sed removing the tags", "≤ 1.0× sed; memory bounded"),
    "BM_PrepareVsSed": ("\"プレーヤー向けに整える\" on 100 MB (verselet-tool prepare --half 16 --lines 3)", "sed removing the tags", "≤ 1.0× sed; memory bounded"),
    "BM_CheckTagsVsSed": ("\"タイムタグを検査\" on 100 MB (verselet-tool check)", "sed removing the tags", "≤ 1.0× sed; memory bounded"),
    "BM_ShiftJisToUtf8VsUconv": ("Shift-JIS to UTF-8, 10 MB (verselet-tool)", "uconv", "≤ 1.0× uconv"),
}
for b in json.load(sys.stdin)["benchmarks"]:
    work, reference, aim = works.get(b["name"].split("/")[0], (b["name"], "reference", "–"))
    print("| %s | %s: %.0f ms, %.0f MB | %.0f ms, %.0f MB | %.2f× (cpu %.2f×) | %s |" % (
        work, reference, b["ref_ms"], b["ref_peak_MB"], b["tool_ms"], b["tool_peak_MB"],
        b["ratio"], b["cpu_ratio"], aim))
'
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

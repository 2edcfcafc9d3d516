#!/usr/bin/env bash
# Builds the benchmarks (Release, build/bench), generates the documents with a fixed seed
# into build/bench-data and prints one table row per measured work, with ratios against
# references measured in the same run.
#
# To add a row: write a function row_NAME that runs its measurement and calls
# `row WORK REFERENCE VERSELET RATIO AIM`, and add NAME to ROWS (or pass names
# as arguments: `bash scripts/bench.sh open keys`).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/bench"
data="$root/build/bench-data"
export QT_QPA_PLATFORM=offscreen
# The window benchmarks type into texts they never save: their recovery
# copies go to a state folder of the run's own, not to the user's.
XDG_STATE_HOME="$(mktemp -d)"
export XDG_STATE_HOME
trap 'rm -rf "$XDG_STATE_HOME"' EXIT

ROWS=(open mainopen launch memory save keys mainkeys mainstamp mainwordstamp mainwaveform mainlongline mainfind longline overflow wrap tools windowtools check)

# The verselet-tool rows against sed and uconv (bench_tools).
source "$root/scripts/bench-tools.sh"

build_benchmarks() {
  bash "$root/scripts/deps.sh"
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVERSELET_TESTS=OFF \
      >"$root/build/configure-bench.log" 2>&1 ||
      { cat "$root/build/configure-bench.log" >&2; exit 1; }
  fi
  cmake --build "$build" -j"$(nproc)" --target verselet-bench-window verselet-bench-launch verselet-bench-lyrics verselet-bench verselet-tool verselet \
    >"$root/build/bench-build.log" 2>&1 || { cat "$root/build/bench-build.log" >&2; exit 1; }
}

# document MEGABYTES|long-line: the path of the lyrics-like document of that size,
# or of the 5 MB line without a break, made once.
document() {
  local file="$data/lyrics-$1mb.txt"
  [ "$1" != long-line ] || file="$data/long-line.txt"
  if [ ! -f "$file" ]; then
    mkdir -p "$data"
    "$build/bin/verselet-bench-lyrics" "$1" "$file.part" && mv "$file.part" "$file"
  fi
  echo "$file"
}

# measure MODE FILE: runs the window benchmark; its name=value lines become shell variables m_NAME.
# A failing run stops the script (its output is taken whole before it is read).
measure() {
  local output
  output="$("$build/bin/verselet-bench-window" "$1" "$2")"
  take_fields "$output"
}

# take_fields OUTPUT: its name=value lines become shell variables m_NAME.
take_fields() {
  local name value
  while IFS='=' read -r name value; do
    printf -v "m_$name" '%s' "$value"
  done <<<"$1"
}

# on_xvfb COMMAND...: runs the command on an X display of its own, which ends with it.
on_xvfb() {
  local display=:97 xvfb status=0
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  DISPLAY="$display" "$@" || status=$?
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  return "$status"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f×", a / b }'; }

row() { printf '| %s | %s | %s | %s | %s |\n' "$@"; }

row_open() {
  measure open "$(document 100)"
  row "open to first frame, 100 MB" "read and split into strings: $m_split_ms ms" "$m_open_ms ms" \
    "$(ratio "$m_open_ms" "$m_split_ms")" "≤ 1.0×"
}

row_mainopen() {
  measure main-open "$(document 100)"
  row "main window: open 100 MB from the command line to its first frame (status bar, preview, guides)" \
    "read and split into strings: $m_split_ms ms" "$m_open_ms ms" "$(ratio "$m_open_ms" "$m_split_ms")" "≤ 0.8×"
}

# The program itself under Xvfb: `verselet FILE` until the server maps its
# window, five rounds with fresh settings, interleaved with reading and
# splitting the file in the measuring process.
row_launch() {
  command -v Xvfb >/dev/null || {
    row "\`verselet FILE\` 100 MB, launch to window shown (Xvfb)" "–" "not measured: Xvfb is missing" "–" "≤ 1.0×"
    return
  }
  local output
  output="$(on_xvfb "$build/bin/verselet-bench-launch" "$build/bin/verselet" "$(document 100)")"
  take_fields "$output"
  row "\`verselet FILE\` 100 MB, launch to window shown (Xvfb)" \
    "read and split into strings: $m_split_ms ms ($m_split_min_ms–$m_split_max_ms)" \
    "$m_launch_ms ms ($m_launch_min_ms–$m_launch_max_ms)" "$(ratio "$m_launch_ms" "$m_split_ms")" "≤ 1.0×"
}

row_memory() {
  measure memory "$(document 100)"
  row "memory after opening 100 MB" "the file: $m_file_mb MB (split into strings: peak $m_split_peak_mb MB)" \
    "$m_after_mb MB, peak $m_peak_mb MB" \
    "$(ratio "$m_after_mb" "$m_file_mb"), peak $(ratio "$m_peak_mb" "$m_file_mb")" "≤ 1.5×, peak ≤ 2×"
}

row_save() {
  measure save "$(document 100)"
  row "saving the loaded 100 MB document over its file" "the process with the document loaded: $m_loaded_mb MB" \
    "peak $m_peak_mb MB ($m_save_ms ms)" "$(ratio "$m_peak_mb" "$m_loaded_mb")" "≤ 1.1×"
}

row_keys() {
  measure keys "$(document 100)"
  row "a typed character in the middle of 100 MB ($m_lines lines), event to finished repaint of its row" "–" \
    "$m_key_median_ms ms (max $m_key_max_ms; editor alone $m_key_editor_median_ms)" "–" "≤ 0.3 ms, max ≤ 5 ms"
  row "Enter in the middle of 100 MB, event to finished repaint of the window" "–" \
    "$m_enter_median_ms ms (max $m_enter_max_ms; editor alone $m_enter_editor_median_ms)" "–" "≤ 5 ms"
}

# benchmark_fields FILTER FIELD...: runs the Google benchmarks matching FILTER once and
# prints, per benchmark in order, its name and the given JSON fields, tab-separated.
benchmark_fields() {
  local filter="$1"
  shift
  "$build/bin/verselet-bench" --benchmark_filter="$filter" --benchmark_format=json 2>/dev/null |
    python3 -c '
import json, sys
fields = sys.argv[1:]
for b in json.load(sys.stdin)["benchmarks"]:
    print("\t".join([b["name"]] + ["%.1f" % b[f] if isinstance(b[f], float) else str(b[f]) for f in fields]))
' "$@"
}

# The real main window (status bar, preview, display guides), keys as events,
# each timed to the finished frame; the unwrapped key is the reference. The
# keys are typed once the preview has counted the overflowing lines, and in
# a text just opened while it counts them.
row_mainkeys() {
  measure main-keys "$(document 100)"
  row "main window: a key in 100 MB, unwrapped" "–" "$m_unwrapped_median_ms ms (max $m_unwrapped_max_ms)" "–" \
    "≤ 1.1 ms"
  row "main window: a key in 100 MB just opened, while the preview counts its overflowing lines" \
    "the key once they are counted: $m_unwrapped_median_ms ms" "$m_counting_median_ms ms (max $m_counting_max_ms)" \
    "$(ratio "$m_counting_median_ms" "$m_unwrapped_median_ms")" "≤ 3 ms, max ≤ 10 ms"
  local column median worst
  for column in 16 72; do
    median="m_wrapped${column}_median_ms"
    worst="m_wrapped${column}_max_ms"
    row "main window: a key in 100 MB wrapped at $column columns" "the key unwrapped: $m_unwrapped_median_ms ms" \
      "${!median} ms (max ${!worst})" "$(ratio "${!median}" "$m_unwrapped_median_ms")" "≤ 2 ms, max ≤ 10 ms"
  done
  row "main window: a key in 100 MB with タグを数えない, unwrapped" "the key without it: $m_unwrapped_median_ms ms" \
    "$m_unwrapped_skiptags_median_ms ms (max $m_unwrapped_skiptags_max_ms)" \
    "+$(awk -v a="$m_unwrapped_skiptags_median_ms" -v b="$m_unwrapped_median_ms" 'BEGIN { printf "%.3f ms", a - b }')" "≤ +0.1 ms"
  row "main window: a key in 100 MB with タグを数えない, wrapped at 16 columns" "the key without it: $m_wrapped16_median_ms ms" \
    "$m_wrapped16_skiptags_median_ms ms (max $m_wrapped16_skiptags_max_ms)" \
    "+$(awk -v a="$m_wrapped16_skiptags_median_ms" -v b="$m_wrapped16_median_ms" 'BEGIN { printf "%.3f ms", a - b }')" "≤ +0.1 ms"
}

# Sync mode in the real main window while the song plays (through a sink that
# follows the clock): Space stamps the caret's line and moves to the next,
# beside a typed character and Backspace of the same window, interleaved.
row_mainstamp() {
  measure main-stamp "$(document 100)"
  row "main window: a stamp (Space in sync mode) in 100 MB while the song plays" \
    "a typed character or Backspace: $m_key_median_ms ms (max $m_key_max_ms)" \
    "$m_stamp_median_ms ms (max $m_stamp_max_ms)" "$(ratio "$m_stamp_median_ms" "$m_key_median_ms")" "≤ 1 ms"
  row "main window: a stamp that scrolls the view by a line, 100 MB" \
    "a typed character or Backspace: $m_key_median_ms ms" "$m_stamp_scrolling_median_ms ms (max $m_stamp_scrolling_max_ms)" \
    "$(ratio "$m_stamp_scrolling_median_ms" "$m_key_median_ms")" "≤ 1 ms"
  row "main window: the sung lines brought up to date after a stamp (the stamped line read, the later lines renumbered), 100 MB" \
    "the whole text read, as on opening a song: $m_reread_ms ms" "$m_sung_update_ms ms" \
    "$(ratio "$m_sung_update_ms" "$m_reread_ms")" "≤ 1 ms (nothing per keystroke walks the text)"
}

row_mainwaveform() {
  measure main-waveform "$root/docs/karaoke-sample.lrc"
  row "main window: the envelope of a 5-minute 44.1 kHz song, from opening it until whole" "–" \
    "$m_envelope_ready_ms ms" "–" "≤ 2000 ms"
  row "main window: a frame of the waveform strip while the song plays ($m_markers markers)" \
    "a frame after a wheel notch (envelope drawn again): $m_redraw_median_ms ms (max $m_redraw_max_ms)" \
    "$m_frame_median_ms ms (max $m_frame_max_ms)" "$(ratio "$m_frame_median_ms" "$m_redraw_median_ms")" "≤ 2 ms"
}

# Word mode in the real main window while the song plays: Space stamps the
# caret's unit of a line and moves to the next unit, beside a typed character
# and Backspace at the same caret, interleaved.
row_mainwordstamp() {
  measure main-wordstamp "$(document 100)"
  row "main window: a unit stamped (Space in word mode) in 100 MB while the song plays" \
    "a typed character or Backspace: $m_key_median_ms ms (max $m_key_max_ms)" \
    "$m_wordstamp_median_ms ms (max $m_wordstamp_max_ms)" "$(ratio "$m_wordstamp_median_ms" "$m_key_median_ms")" "≤ 1 ms"
}

row_mainlongline() {
  measure main-longline "$(document long-line)"
  row "main window: a key at the end of a 5 MB line" "–" \
    "$m_longline_key_median_ms ms (max $m_longline_key_max_ms)" "–" "≤ 10 ms"
  row "main window: a click at the far right of the 5 MB line" "–" \
    "$m_longline_click_median_ms ms (max $m_longline_click_max_ms)" "–" "≤ 10 ms"
}

# Find Next in the main window's find bar, against grep counting the matches of the whole file.
row_mainfind() {
  local doc start grep_ms
  doc="$(document 100)"
  measure main-find "$doc"
  start=$(date +%s%N)
  grep -c qzxjvy "$doc" >/dev/null || true
  grep_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  row "main window: Find Next to a match 1 MB on, 100 MB" "–" "$m_near_ms ms (peak $m_near_peak_ratio× the loaded window)" "–" \
    "≤ 20 ms, memory ≤ 1.1×"
  row "main window: Find Next with no match, 100 MB" "grep -c of the file: $grep_ms ms" \
    "$m_none_ms ms (peak $m_none_peak_ratio× the loaded window, $m_loaded_mb MB)" "$(ratio "$m_none_ms" "$grep_ms")" \
    "≤ 1.0×, memory ≤ 1.1×"
}

row_longline() {
  local name real cpu results
  results="$(benchmark_fields '^BM_LongLine(Keystroke|End|Home|ClickAtTheRight)_Qt/' real_time cpu_time)"
  while IFS=$'\t' read -r name real cpu; do
    case "$name" in
      *Keystroke*) row "a keystroke on a 5 MB line without breaks, in the Qt host" "–" "$real ms (cpu $cpu)" "–" "≤ 50 ms" ;;
      *End*) row "End on the 5 MB line" "–" "$real ms (cpu $cpu)" "–" "≤ 50 ms" ;;
      *Home*) row "Home on the 5 MB line" "–" "$real ms (cpu $cpu)" "–" "≤ 50 ms" ;;
      *Click*) row "a click at the far right of the 5 MB line" "–" "$real ms (cpu $cpu)" "–" "≤ 10 ms" ;;
    esac
  done <<<"$results"
}

row_overflow() {
  local name plain added whole
  while IFS=$'\t' read -r name plain added whole; do
    row "what the overflow marks add to a keystroke in 100 MB (editor alone)" "the keystroke without them: $plain µs" \
      "+$added µs (every line measured once on switching on: $whole ms)" "–" "≤ +100 µs"
  done <<<"$(benchmark_fields '^BM_OverflowCacheKeystroke/100/' plain_us added_us whole_text_ms)"
}

row_wrap() {
  local name column wrap read ratio_ median worst rows_ results
  results="$(benchmark_fields '^BM_WrapWholeDocument/' wrap_ms read_ms ratio)"
  while IFS=$'\t' read -r name wrap read ratio_; do
    column="${name#*/}"
    row "word wrap switched on for 100 MB at column ${column%%/*}" "read and split into strings: $read ms" "$wrap ms" \
      "${ratio_}×" "≤ 1 s"
  done <<<"$results"
  results="$(benchmark_fields '^BM_WrapWholeDocumentSkippingTags/' plain_ms skipping_ms ratio)"
  while IFS=$'\t' read -r name plain skipping ratio_; do
    row "word wrap switched on for 100 MB at column 16 with タグを数えない" "the same wrap counting every column: $plain ms" \
      "$skipping ms" "${ratio_}×" "≤ 1.5×"
  done <<<"$results"
  results="$(benchmark_fields '^BM_KeystrokeInWrappedDocument/' median_us worst_ms rows)"
  while IFS=$'\t' read -r name median worst rows_; do
    row "a typed character and Backspace in the wrapped 100 MB ($rows_ rows), editor alone" "–" \
      "median $median µs (max $worst ms)" "–" "≤ 0.3 ms, max ≤ 5 ms"
  done <<<"$results"
  results="$(benchmark_fields '^BM_KeystrokeInAWrapped5MBLine/' median_ms worst_ms)"
  while IFS=$'\t' read -r name median worst; do
    row "a typed character and Backspace near the start of a 5 MB line wrapped at 72, editor alone" "–" \
      "median $median ms (max $worst)" "–" "≤ 50 ms"
  done <<<"$results"
}

row_tools() { bench_tools "$build"; }

row_windowtools() {
  local mode label
  for mode in time-tags karaoke-tags useless-lines; do
    case "$mode" in
      time-tags) label="タイムタグをすべて削除" ;;
      karaoke-tags) label="行頭以外のカラオケタグを削除" ;;
      useless-lines) label="無駄な行を削除" ;;
    esac
    measure "$mode" "$(document 100)"
    row "\"$label\" in the main window on the loaded 100 MB document" "sed removing the tags: $m_sed_ms ms" \
      "$m_tool_ms ms, peak $m_peak_mb MB (document loaded: $m_loaded_mb MB; undo $m_undo_ms ms, peak $m_undo_peak_mb MB)" \
      "$(ratio "$m_tool_ms" "$m_sed_ms"), peak $(ratio "$m_peak_mb" "$m_file_mb")" "≤ 1.5× sed, peak ≤ 2× the file"
  done
}

# verselet-tool check on the lyrics-like document against sed removing its
# tags from it: five interleaved rounds, medians of the wall time and the
# peak memory of each process.
row_check() {
  local doc
  doc="$(document 100)"
  python3 - "$build/bin/verselet-tool" "$doc" "$data/check-out.txt" <<'PY'
import os, statistics, subprocess, sys, time
tool, doc, out = sys.argv[1:]
def run(args, ok):
    with open(out, "wb") as sink:
        start = time.monotonic()
        child = subprocess.Popen(args, stdout=sink, env={"LC_ALL": "C", "PATH": os.environ["PATH"]})
        _, status, usage = os.wait4(child.pid, 0)
        elapsed = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) not in ok:
        sys.exit("%s failed" % args[0])
    return elapsed * 1000, usage.ru_maxrss / 1024
check = [tool, "check", doc]
sed = ["sed", r"s/\[[0-9][0-9]:[0-5][0-9]:[0-9][0-9]\]//g", doc]
mine, theirs = [], []
for round in range(5):
    pair = [(check, mine, (0, 1)), (sed, theirs, (0,))]
    for args, costs, ok in (pair if round % 2 == 0 else reversed(pair)):
        costs.append(run(args, ok))
os.remove(out)
median = lambda costs, i: statistics.median(c[i] for c in costs)
print("| \"タイムタグを検査\" on the 100 MB lyrics-like document (verselet-tool check) | sed removing the tags: %.0f ms, %.0f MB | %.0f ms, %.0f MB | %.2f× | ≤ 1.0× sed; memory bounded |" % (
    median(theirs, 0), median(theirs, 1), median(mine, 0), median(mine, 1), median(mine, 0) / median(theirs, 0)))
PY
}

main() {
  build_benchmarks
  local rows=("$@")
  [ ${#rows[@]} -gt 0 ] || rows=("${ROWS[@]}")
  row "Work" "Reference in the same run" "Verselet" "Ratio" "Aim"
  row "---" "---" "---" "---" "---"
  for name in "${rows[@]}"; do "row_$name"; done
}

main "$@"

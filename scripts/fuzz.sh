#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each in turn: scripts/fuzz.sh [SECONDS] (default 60).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"

# Fuzzing needs clang and its runtime, which holds libFuzzer; the ordinary
# build does not, so they are not among the deps.
bash "$root/scripts/deps.sh" clang libclang-rt-14-dev cmake libicu-dev libsimpleini-dev

build="$root/build/fuzz"
mkdir -p "$build"
if [ ! -f "$build/CMakeCache.txt" ]; then
  CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=Debug >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; exit 1; }
fi
cmake --build "$build" -j"$(nproc)" -- --no-print-directory -s

# Saving syncs the file to disk; in memory the temporary files cost nothing.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

# One job in a fork of its own: a fault does not end the run, so that one
# run lists every fault it meets. Each faulty input is kept in
# build/fuzz/findings/TARGET/; the corpus grown so far stays in
# build/fuzz/corpus/TARGET/ for the next run.
status=0
for target in loaders editing drag search formats; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  rm -rf "$findings"
  mkdir -p "$corpus" "$findings"
  echo "fuzz_$target: $seconds s"
  nice "$build/bin/fuzz_$target" -fork=1 -ignore_crashes=1 -timeout=20 -max_total_time="$seconds" \
    -artifact_prefix="$findings/" "$corpus" "$root/tests/fuzz/corpus/$target" >"$build/$target.log" 2>&1 || status=1
  grep -E '^#[0-9]+' "$build/$target.log" | tail -n 1 || true
  if compgen -G "$findings/*" >/dev/null; then
    echo "fuzz_$target found faults; the inputs are in $findings:" >&2
    ls "$findings" >&2
    status=1
  fi
done
exit "$status"

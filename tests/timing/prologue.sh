# shellcheck shell=bash
# What the end-to-end timing checks do first; each sources it as
#
#   . "$(dirname "${BASH_SOURCE[0]}")/prologue.sh" "$@"
#
# Takes --keep (keep the working folder). Installs espeak-ng, Xvfb, xdotool and
# ImageMagick when run as root; without them it says so and exits with 77
# (skipped). Builds the program and verselet-tool as scripts/run.sh does
# (build/release), makes the working folder and gives the program a settings
# file of its own (no remembered reaction delay, no recent files) and no sound
# card. Sets root, here (this folder), build, work and tolerance_ms, the
# largest error of a tag that passes, and defines on_screen, which runs a
# command on a display of its own.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck disable=SC2034 # for the scripts that source this
here="$root/tests/timing" tolerance_ms=150
keep=0
[ "${1-}" = "--keep" ] && keep=1

packages=(espeak-ng xvfb xauth xdotool imagemagick)
missing=0
for tool in espeak-ng xvfb-run xauth xdotool import; do
  command -v "$tool" >/dev/null || missing=1
done
if [ "$missing" -eq 1 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: needs ${packages[*]} (run as root to install them)" >&2
    exit 77
  fi
  bash "$root/scripts/deps.sh" "${packages[@]}"
fi

bash "$root/scripts/run.sh" --build-only
build="$root/build/release"
cmake --build "$build" --target verselet-tool -j"$(nproc)" -- --no-print-directory -s

work="$(mktemp -d)"
if [ "$keep" -eq 1 ]; then
  echo "working folder: $work"
else
  trap 'rm -rf "$work"' EXIT
fi

mkdir -m 700 "$work/runtime"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" HOME="$work"
export VERSELET_AUDIO_SINK="fakesink sync=true"

on_screen() {
  xvfb-run -a -s "-screen 0 1280x900x24" "$@"
}

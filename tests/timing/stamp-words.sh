#!/usr/bin/env bash
# Times a karaoke line of docs/karaoke-sample.lrc unit by unit, end to end, in the real program under Xvfb:
#
#   bash tests/timing/stamp-words.sh [--keep]
#
# The line "夜空にひかる星" of the sample, its tags removed, is the lyrics, once
# as song.lrc and once as song.kra. espeak-ng speaks it one unit at a time (a
# kana is one mora, a kanji its reading), with silences between, so that the start of each unit and the end of
# the last are known. The program opens each lyrics file with that song
# (`verselet LYRICS --audio SONG`, played through `fakesink sync=true`, which
# needs no sound card and follows the clock); word mode goes on (Shift+F9),
# the song starts (Ctrl+Space), xdotool presses Space at the start of each unit
# and Shift+Space at the end of the last, and Ctrl+S saves. Then the .lrc file
# must hold "<mm:ss.xx>" before each unit with the line tag before the first,
# the .kra file inline "[mm:ss:xx]" tags, `verselet-tool check` must find no
# problem in either, and each tag must lie within 150 ms of its unit's time;
# the errors are printed per unit. Screenshots of the framed next unit are kept
# (their paths are printed).
#
# Builds the program as scripts/run.sh does (build/release). Installs espeak-ng,
# Xvfb, xdotool and ImageMagick when run as root; without them it says so and
# exits with 77 (skipped). --keep keeps the working folder.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
here="$root/tests/timing"
tolerance_ms=150
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

# The sample's ID lines and its first karaoke line, every time tag taken out.
"$build/bin/verselet-tool" delete-all-time-tags "$root/docs/karaoke-sample.lrc" >"$work/untagged.txt"
head -n 3 "$work/untagged.txt" >"$work/lyrics.txt"
if LC_ALL=C grep -q '[[<][0-9]' "$work/lyrics.txt"; then
  echo "the lyrics still hold a time tag after stripping" >&2
  exit 1
fi
python3 "$here/stamp_words.py" song "$work/lyrics.txt" "$work/song.wav" "$work/times.json"

# A settings file of its own (no remembered reaction delay, no recent files) and no sound card.
mkdir -m 700 "$work/runtime"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" HOME="$work"
export VERSELET_AUDIO_SINK="fakesink sync=true"
for form in lrc kra; do
  lyrics="$work/song.$form"
  cp "$work/lyrics.txt" "$lyrics"
  shot="$root/build/stamp-words-$form.png"
  xvfb-run -a -s "-screen 0 1280x900x24" \
    python3 "$here/stamp_words.py" drive "$build/bin/verselet" "$lyrics" "$work/song.wav" "$work/times.json" "$shot"
  echo "screenshot of the framed next unit (.$form): $shot"
  "$build/bin/verselet-tool" check "$lyrics"
  echo "verselet-tool check .$form: no problem"
  python3 "$here/stamp_words.py" compare "$lyrics" "$work/times.json" "$tolerance_ms"
done

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
# Builds the program, installs what it needs and skips as prologue.sh says;
# --keep keeps the working folder.
# shellcheck source=prologue.sh source-path=SCRIPTDIR
. "$(dirname "${BASH_SOURCE[0]}")/prologue.sh" "$@"

# The sample's ID lines and its first karaoke line, every time tag taken out.
"$build/bin/verselet-tool" delete-all-time-tags "$root/docs/karaoke-sample.lrc" >"$work/untagged.txt"
head -n 3 "$work/untagged.txt" >"$work/lyrics.txt"
if LC_ALL=C grep -q '[[<][0-9]' "$work/lyrics.txt"; then
  echo "the lyrics still hold a time tag after stripping" >&2
  exit 1
fi
python3 "$here/stamp_words.py" song "$work/lyrics.txt" "$work/song.wav" "$work/times.json"

for form in lrc kra; do
  lyrics="$work/song.$form"
  cp "$work/lyrics.txt" "$lyrics"
  shot="$root/build/stamp-words-$form.png"
  on_screen python3 "$here/stamp_words.py" drive "$build/bin/verselet" "$lyrics" "$work/song.wav" "$work/times.json" "$shot"
  echo "screenshot of the framed next unit (.$form): $shot"
  "$build/bin/verselet-tool" check "$lyrics"
  echo "verselet-tool check .$form: no problem"
  python3 "$here/stamp_words.py" compare "$lyrics" "$work/times.json" "$tolerance_ms"
done

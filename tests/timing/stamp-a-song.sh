#!/usr/bin/env bash
# Times docs/karaoke-sample.lrc to a song end to end, in the real program under Xvfb:
#
#   bash tests/timing/stamp-a-song.sh [--keep]
#
# espeak-ng speaks each line of the sample with its tags removed, with silences
# between, so that the start of each line in the song is known. The program opens
# the untagged lyrics with that song (`verselet LYRICS --audio SONG`, played through
# `fakesink sync=true`, which needs no sound card and follows the clock); sync mode
# goes on (F9), the song starts (Ctrl+Space), xdotool presses Space at the start of
# each line, and Ctrl+S saves. Then `verselet-tool check` must find no problem and
# each line's tag must lie within 150 ms of the line's true start; the errors are
# printed per line. A screenshot taken while the song plays is kept (its path is
# printed) for a look at the transport bar, 同期モード and the sung-line mark.
#
# Builds the program, installs what it needs and skips as prologue.sh says;
# --keep keeps the working folder.
# shellcheck source=prologue.sh source-path=SCRIPTDIR
. "$(dirname "${BASH_SOURCE[0]}")/prologue.sh" "$@"
shot="$root/build/stamp-a-song.png"

# The sample holds a broken tag on purpose ([00:27.1x], for the check to find);
# not being a time tag, the tool leaves it, so it goes by hand.
"$build/bin/verselet-tool" delete-all-time-tags "$root/docs/karaoke-sample.lrc" |
  LC_ALL=C sed -E 's/^\[[0-9]{2}:[0-9]{2}[.:][0-9a-z]{2,3}\]//' >"$work/lyrics.lrc"
if LC_ALL=C grep -q '^\[[0-9]' "$work/lyrics.lrc"; then
  echo "the lyrics still hold a time tag after stripping" >&2
  exit 1
fi
python3 "$here/stamp_a_song.py" song "$work/lyrics.lrc" "$work/song.wav" "$work/starts.json"

on_screen python3 "$here/stamp_a_song.py" drive "$build/bin/verselet" "$work/lyrics.lrc" "$work/song.wav" \
  "$work/starts.json" "$shot"
echo "screenshot while the song played: $shot"

"$build/bin/verselet-tool" check "$work/lyrics.lrc"
echo "verselet-tool check: no problem"
python3 "$here/stamp_a_song.py" compare "$work/lyrics.lrc" "$work/starts.json" "$tolerance_ms"

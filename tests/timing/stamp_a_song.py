#!/usr/bin/env python3
"""The timing studio end to end, in three steps that stamp-a-song.sh runs in turn.

song LYRICS OUT.wav STARTS.json
    espeak-ng speaks each lyric line of LYRICS (Shift-JIS, without time tags);
    the spoken lines are put one after the other with silences between, so
    the start of each line in OUT.wav is known. STARTS.json maps each timed
    line (its 0-based line number in LYRICS) to its start in seconds.
drive VERSELET LYRICS SONG STARTS.json SCREENSHOT.png
    Starts `verselet LYRICS --audio SONG` on the X display of the
    environment, switches sync mode on (F9), starts the song (Ctrl+Space),
    presses Space at the start of each line, takes a screenshot while the
    song plays, saves (Ctrl+S) and closes the program.
compare LYRICS STARTS.json TOLERANCE_MS
    Prints each line's tag beside its true start and fails when a line has
    no tag or its tag lies farther than TOLERANCE_MS from the start.
"""
import json
import re
import sys

from timing_common import TAG, drive, judge, lyric_line_numbers, read_lines, run_step, tag_seconds, write_spoken_song

GAP_SECONDS = 0.8  # silence after each line
LINE_TAG = re.compile(r"^\[%s\]" % TAG)


def make_song(lyrics, out, starts_file):
    lines = read_lines(lyrics)
    numbers = lyric_line_numbers(lines)
    if not numbers:
        sys.exit("%s has no line to time" % lyrics)
    starts, _, length = write_spoken_song([lines[n] for n in numbers], out, speed=190, gap_seconds=GAP_SECONDS)
    with open(starts_file, "w") as f:
        json.dump({str(n): start for n, start in zip(numbers, starts)}, f)
    print("song: %d lines in %.1f s" % (len(starts), length))


def drive_lines(verselet, lyrics, song, starts_file, screenshot):
    with open(starts_file) as f:
        starts = sorted(json.load(f).values())
    # The screenshot between two lines: the mark, the bar and the status bar.
    drive(verselet, lyrics, song, "F9", [(start, "space") for start in starts], len(starts) // 2, 0.3, screenshot)


def compare(lyrics, starts_file, tolerance_ms):
    with open(starts_file) as f:
        starts = {int(k): v for k, v in json.load(f).items()}
    lines = read_lines(lyrics)
    rows = []
    for number, start in sorted(starts.items()):
        tag = LINE_TAG.match(lines[number]) if number < len(lines) else None
        if tag:
            rows.append((number + 1, start, tag.group(0), (tag_seconds(*tag.groups()) - start) * 1000))
        else:
            rows.append((number + 1, start, "(none)", None))
    judge("line", rows, tolerance_ms)


if __name__ == "__main__":
    run_step(make_song, drive_lines, compare)

#!/usr/bin/env python3
"""Word mode end to end, in three steps that stamp-words.sh runs in turn.

song LYRICS OUT.wav TIMES.json
    espeak-ng speaks each unit (each character) of the one karaoke line of
    LYRICS (Shift-JIS, without time tags) on its own (a kana is one mora, a
    kanji its reading), with silences between, so that the start of each unit and the end of the last
    in OUT.wav are known. TIMES.json holds them in seconds.
drive VERSELET LYRICS SONG TIMES.json SCREENSHOT.png
    Starts `verselet LYRICS --audio SONG` on the X display of the
    environment, switches word mode on (Shift+F9), starts the song
    (Ctrl+Space), presses Space at the start of each unit and Shift+Space at
    the end of the last, takes a screenshot of the framed next unit while
    the song plays, saves (Ctrl+S) and closes the program.
compare LYRICS TIMES.json TOLERANCE_MS
    Prints each unit's tag beside its true time and fails when the line does
    not hold a tag for every unit and its end, in the file's form, each
    within TOLERANCE_MS.
"""
import json
import re
import sys

from timing_common import TAG, drive, judge, lyric_line_numbers, read_lines, run_step, tag_seconds, write_spoken_song

GAP_SECONDS = 0.35  # silence after each unit


def karaoke_line(lines):
    numbers = lyric_line_numbers(lines)
    if len(numbers) != 1:
        sys.exit("the lyrics must hold exactly one line to time, not %d" % len(numbers))
    return numbers[0]


def make_song(lyrics, out, times_file):
    lines = read_lines(lyrics)
    units = list(lines[karaoke_line(lines)].strip())
    starts, ends, length = write_spoken_song(units, out, speed=170, gap_seconds=GAP_SECONDS, tail_seconds=1.0)
    with open(times_file, "w") as f:
        json.dump({"units": units, "starts": starts, "end": ends[-1]}, f, ensure_ascii=False)
    print("song: %d units in %.1f s" % (len(units), length))


def drive_units(verselet, lyrics, song, times_file, screenshot):
    with open(times_file) as f:
        times = json.load(f)
    keys = [(start, "space") for start in times["starts"]] + [(times["end"], "shift+space")]
    # The screenshot between two units: the framed unit, the status bar.
    drive(verselet, lyrics, song, "shift+F9", keys, len(times["starts"]) // 2, 0.15, screenshot)


def compare(lyrics, times_file, tolerance_ms):
    with open(times_file) as f:
        times = json.load(f)
    lines = read_lines(lyrics)
    line = lines[karaoke_line(lines)]
    inline = lyrics.lower().endswith(".kra")
    units = times["units"]
    # .lrc: the line tag, then "<mm:ss.xx>" before each unit and at the end;
    # .kra: the line tag timing the first unit, then "[mm:ss:xx]" before each other unit and at the end.
    if inline:
        form = re.compile(r"^\[%s\]" % TAG + "".join(r"%s\[%s\]" % (re.escape(u), TAG) for u in units[:-1]) +
                          r"%s\[%s\]$" % (re.escape(units[-1]), TAG))
    else:
        form = re.compile(r"^\[%s\]" % TAG + "".join(r"<%s>%s" % (TAG, re.escape(u)) for u in units) + r"<%s>$" % TAG)
    found = form.match(line)
    if not found:
        sys.exit("the line is not timed unit by unit in the %s form: %s" % ("inline" if inline else "<...>", line))
    groups = found.groups()
    tags = [tag_seconds(*groups[i:i + 3]) for i in range(0, len(groups), 3)]
    line_time, stamped = tags[0], tags[0:] if inline else tags[1:]
    if not inline and abs(line_time - stamped[0]) > 0.005:
        sys.exit("the line tag is not the first unit's time")
    truth = times["starts"] + [times["end"]]
    rows = [(unit, true_time, "%.2f" % tag_time, (tag_time - true_time) * 1000)
            for unit, true_time, tag_time in zip(units + ["(end)"], truth, stamped)]
    judge("unit", rows, tolerance_ms)


if __name__ == "__main__":
    run_step(make_song, drive_units, compare)

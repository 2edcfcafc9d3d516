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
import os
import re
import subprocess
import sys
import tempfile
import time
import wave

LEAD_SECONDS = 1.5  # silence before the first unit
GAP_SECONDS = 0.35  # silence after each unit
ID_TAG_LINE = re.compile(r"^\[[A-Za-z]+:.*\]$")
TAG = r"(\d\d):(\d\d)[.:](\d\d\d?)"


def read_lines(path):
    with open(path, "rb") as f:
        return f.read().decode("cp932").splitlines()


def karaoke_line(lines):
    numbers = [n for n, line in enumerate(lines) if line.strip() and not ID_TAG_LINE.match(line)]
    if len(numbers) != 1:
        sys.exit("the lyrics must hold exactly one line to time, not %d" % len(numbers))
    return numbers[0]


def speak(text, voice_file):
    subprocess.run(["espeak-ng", "-v", "ja", "-s", "170", "-w", voice_file, text], check=True)
    with wave.open(voice_file, "rb") as w:
        return w.getparams(), w.readframes(w.getnframes())


def silence(params, seconds):
    return b"\0" * (int(seconds * params.framerate) * params.sampwidth * params.nchannels)


def make_song(lyrics, out, times_file):
    lines = read_lines(lyrics)
    units = list(lines[karaoke_line(lines)].strip())
    params, frames, starts, end = None, [], [], 0.0
    position = 0  # in sample frames
    with tempfile.TemporaryDirectory() as scratch:
        for unit in units:
            unit_params, speech = speak(unit, os.path.join(scratch, "unit.wav"))
            if params is None:
                params = unit_params
                frames.append(silence(params, LEAD_SECONDS))
                position = int(LEAD_SECONDS * params.framerate)
            if unit_params[:3] != params[:3]:
                sys.exit("espeak-ng changed its sample format between units")
            starts.append(position / params.framerate)
            position += len(speech) // (params.sampwidth * params.nchannels)
            end = position / params.framerate
            frames += [speech, silence(params, GAP_SECONDS)]
            position += int(GAP_SECONDS * params.framerate)
    frames.append(silence(params, 1.0))
    with wave.open(out, "wb") as w:
        w.setparams(params)
        w.writeframes(b"".join(frames))
    with open(times_file, "w") as f:
        json.dump({"units": units, "starts": starts, "end": end}, f, ensure_ascii=False)
    print("song: %d units in %.1f s" % (len(units), position / params.framerate))


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True).stdout.strip()


def drive(verselet, lyrics, song, times_file, screenshot):
    with open(times_file) as f:
        times = json.load(f)
    program = subprocess.Popen([verselet, lyrics, "--audio", song])
    try:
        window = xdotool("search", "--sync", "--onlyvisible", "--name", "Verselet|verselet|%s" % os.path.basename(lyrics))
        window = window.split()[0]
        # No window manager: the pointer gives the focus, so it rests on the window.
        xdotool("mousemove", "--window", window, "400", "300")
        xdotool("windowfocus", "--sync", window)
        time.sleep(3)  # the song opened and the window drawn, on a loaded machine too
        xdotool("key", "shift+F9")
        time.sleep(0.5)
        xdotool("key", "ctrl+space")
        begin = time.monotonic()
        shot = None
        keys = [(start, "space") for start in times["starts"]] + [(times["end"], "shift+space")]
        for index, (at, key) in enumerate(keys):
            delay = begin + at - time.monotonic()
            if delay > 0:
                time.sleep(delay)
            xdotool("key", key)
            if index == len(times["starts"]) // 2:
                # Between two units, away from any key: the framed unit, the status bar.
                time.sleep(0.15)
                shot = subprocess.Popen(["import", "-window", "root", screenshot])
        if shot:
            shot.wait()
        time.sleep(0.5)
        xdotool("key", "ctrl+space")
        xdotool("key", "ctrl+s")
        time.sleep(2)
        if program.poll() is not None:
            sys.exit("verselet ended early (exit %d)" % program.returncode)
    finally:
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()


def seconds(match):
    minutes, secs, fraction = match
    return int(minutes) * 60 + int(secs) + int(fraction) / 10 ** len(fraction)


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
    tags = [seconds(groups[i:i + 3]) for i in range(0, len(groups), 3)]
    line_time, stamped = tags[0], tags[0:] if inline else tags[1:]
    if not inline and abs(line_time - stamped[0]) > 0.005:
        sys.exit("the line tag is not the first unit's time")
    truth = times["starts"] + [times["end"]]
    failures = 0
    print("%-6s %10s %10s %10s" % ("unit", "true", "tag", "error ms"))
    for unit, true_time, tag_time in zip(units + ["(end)"], truth, stamped):
        error = (tag_time - true_time) * 1000
        print("%-6s %10.3f %10.2f %+10.0f" % (unit, true_time, tag_time, error))
        failures += abs(error) > tolerance_ms
    if failures:
        sys.exit("%d unit(s) without a tag within %d ms of their time" % (failures, tolerance_ms))
    print("every unit's tag lies within %d ms of its time" % tolerance_ms)


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "song":
        make_song(*args)
    elif command == "drive":
        drive(*args)
    elif command == "compare":
        compare(args[0], args[1], int(args[2]))
    else:
        sys.exit("unknown step %s" % command)

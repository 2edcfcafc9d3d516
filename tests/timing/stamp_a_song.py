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
import os
import re
import subprocess
import sys
import tempfile
import time
import wave

LEAD_SECONDS = 1.5  # silence before the first line
GAP_SECONDS = 0.8  # silence after each line
ID_TAG_LINE = re.compile(r"^\[[A-Za-z]+:.*\]$")
LINE_TAG = re.compile(r"^\[(\d\d):(\d\d)[.:](\d\d\d?)\]")


def read_lines(path):
    with open(path, "rb") as f:
        return f.read().decode("cp932").splitlines()


def speak(text, voice_file):
    subprocess.run(["espeak-ng", "-v", "ja", "-s", "190", "-w", voice_file, text], check=True)
    with wave.open(voice_file, "rb") as w:
        return w.getparams(), w.readframes(w.getnframes())


def silence(params, seconds):
    return b"\0" * (int(seconds * params.framerate) * params.sampwidth * params.nchannels)


def make_song(lyrics, out, starts_file):
    params, frames, starts = None, [], {}
    position = 0  # in sample frames
    with tempfile.TemporaryDirectory() as scratch:
        for number, line in enumerate(read_lines(lyrics)):
            if ID_TAG_LINE.match(line) or not line.strip():
                continue
            line_params, speech = speak(line, os.path.join(scratch, "line.wav"))
            if params is None:
                params = line_params
                frames.append(silence(params, LEAD_SECONDS))
                position = int(LEAD_SECONDS * params.framerate)
            if line_params[:3] != params[:3]:
                sys.exit("espeak-ng changed its sample format between lines")
            starts[number] = position / params.framerate
            frames += [speech, silence(params, GAP_SECONDS)]
            position += len(speech) // (params.sampwidth * params.nchannels) + int(GAP_SECONDS * params.framerate)
    if not starts:
        sys.exit("%s has no line to time" % lyrics)
    with wave.open(out, "wb") as w:
        w.setparams(params)
        w.writeframes(b"".join(frames))
    with open(starts_file, "w") as f:
        json.dump({str(k): v for k, v in starts.items()}, f)
    print("song: %d lines in %.1f s" % (len(starts), position / params.framerate))


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True).stdout.strip()


def drive(verselet, lyrics, song, starts_file, screenshot):
    with open(starts_file) as f:
        starts = sorted(json.load(f).values())
    program = subprocess.Popen([verselet, lyrics, "--audio", song])
    try:
        window = xdotool("search", "--sync", "--onlyvisible", "--name", "Verselet|verselet|%s" % os.path.basename(lyrics))
        window = window.split()[0]
        # No window manager: the pointer gives the focus, so it rests on the window.
        xdotool("mousemove", "--window", window, "400", "300")
        xdotool("windowfocus", "--sync", window)
        time.sleep(3)  # the song opened and the window drawn, on a loaded machine too
        xdotool("key", "F9")
        time.sleep(0.5)
        xdotool("key", "ctrl+space")
        begin = time.monotonic()
        shot = None
        for index, start in enumerate(starts):
            delay = begin + start - time.monotonic()
            if delay > 0:
                time.sleep(delay)
            xdotool("key", "space")
            if index == len(starts) // 2:
                # Between two lines, away from any key: the mark, the bar and the status bar.
                time.sleep(0.3)
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


def compare(lyrics, starts_file, tolerance_ms):
    with open(starts_file) as f:
        starts = {int(k): v for k, v in json.load(f).items()}
    lines = read_lines(lyrics)
    failures = 0
    print("%-5s %10s %12s %10s" % ("line", "true start", "tag", "error ms"))
    for number, start in sorted(starts.items()):
        tag = LINE_TAG.match(lines[number]) if number < len(lines) else None
        if not tag:
            print("%-5d %10.3f %12s %10s" % (number + 1, start, "(none)", "-"))
            failures += 1
            continue
        minutes, seconds, fraction = tag.groups()
        stamped = int(minutes) * 60 + int(seconds) + int(fraction) / 10 ** len(fraction)
        error = (stamped - start) * 1000
        print("%-5d %10.3f %12s %+10.0f" % (number + 1, start, tag.group(0), error))
        failures += abs(error) > tolerance_ms
    if failures:
        sys.exit("%d line(s) without a tag within %d ms of their start" % (failures, tolerance_ms))
    print("every line's tag lies within %d ms of its start" % tolerance_ms)


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

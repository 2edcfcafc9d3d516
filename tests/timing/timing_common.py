"""What the end-to-end timing checks share: a song spoken by espeak-ng, the
program driven by xdotool under Xvfb, the lyrics files and their tags, and
the three steps song, drive and compare that the shell scripts run in turn.
"""
import os
import re
import subprocess
import sys
import tempfile
import time
import wave

LEAD_SECONDS = 1.5  # silence before the first piece spoken
ID_TAG_LINE = re.compile(r"^\[[A-Za-z]+:.*\]$")
TAG = r"(\d\d):(\d\d)[.:](\d\d\d?)"


def read_lines(path):
    with open(path, "rb") as f:
        return f.read().decode("cp932").splitlines()


def lyric_line_numbers(lines):
    """The 0-based numbers of the lines to time: neither blank nor an ID tag line."""
    return [n for n, line in enumerate(lines) if line.strip() and not ID_TAG_LINE.match(line)]


def tag_seconds(minutes, seconds, fraction):
    """The time of a tag from its three groups of TAG."""
    return int(minutes) * 60 + int(seconds) + int(fraction) / 10 ** len(fraction)


def speak(text, voice_file, speed):
    subprocess.run(["espeak-ng", "-v", "ja", "-s", str(speed), "-w", voice_file, text], check=True)
    with wave.open(voice_file, "rb") as w:
        return w.getparams(), w.readframes(w.getnframes())


def silence(params, seconds):
    return b"\0" * (int(seconds * params.framerate) * params.sampwidth * params.nchannels)


def write_spoken_song(pieces, out, speed, gap_seconds, tail_seconds=0.0):
    """Speaks each piece on its own and writes them to OUT.wav one after the
    other, after LEAD_SECONDS of silence, with gap_seconds after each piece
    and tail_seconds more at the end. Returns the start and the end of each
    piece's speech and the length of the song without the tail, in seconds.
    """
    params, frames, starts, ends = None, [], [], []
    position = 0  # in sample frames
    with tempfile.TemporaryDirectory() as scratch:
        for piece in pieces:
            piece_params, speech = speak(piece, os.path.join(scratch, "piece.wav"), speed)
            if params is None:
                params = piece_params
                frames.append(silence(params, LEAD_SECONDS))
                position = int(LEAD_SECONDS * params.framerate)
            if piece_params[:3] != params[:3]:
                sys.exit("espeak-ng changed its sample format between two pieces")
            starts.append(position / params.framerate)
            position += len(speech) // (params.sampwidth * params.nchannels)
            ends.append(position / params.framerate)
            frames += [speech, silence(params, gap_seconds)]
            position += int(gap_seconds * params.framerate)
    if params is None:
        sys.exit("nothing to speak")
    frames.append(silence(params, tail_seconds))
    with wave.open(out, "wb") as w:
        w.setparams(params)
        w.writeframes(b"".join(frames))
    return starts, ends, position / params.framerate


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True).stdout.strip()


def drive(verselet, lyrics, song, mode_key, keys, shot_after, shot_pause, screenshot):
    """Starts `verselet LYRICS --audio SONG` on the X display of the
    environment, presses mode_key, starts the song (Ctrl+Space) and presses
    each key of keys, (seconds into the song, key), at its time. shot_pause
    seconds after the key numbered shot_after, a screenshot is taken. Then
    the song stops, Ctrl+S saves and the program is closed.
    """
    program = subprocess.Popen([verselet, lyrics, "--audio", song])
    try:
        window = xdotool("search", "--sync", "--onlyvisible", "--name", "Verselet|verselet|%s" % os.path.basename(lyrics))
        window = window.split()[0]
        # No window manager: the pointer gives the focus, so it rests on the window.
        xdotool("mousemove", "--window", window, "400", "300")
        xdotool("windowfocus", "--sync", window)
        time.sleep(3)  # the song opened and the window drawn, on a loaded machine too
        xdotool("key", mode_key)
        time.sleep(0.5)
        xdotool("key", "ctrl+space")
        begin = time.monotonic()
        shot = None
        for index, (at, key) in enumerate(keys):
            delay = begin + at - time.monotonic()
            if delay > 0:
                time.sleep(delay)
            xdotool("key", key)
            if index == shot_after:
                # Between two keys, away from either.
                time.sleep(shot_pause)
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


def judge(kind, rows, tolerance_ms):
    """Prints each row, (name, true time, tag as shown, error in ms or None
    when there is no tag), and fails when a row has no tag or its error
    exceeds tolerance_ms; kind names a row ("line", "unit").
    """
    failures = 0
    print("%-6s %10s %12s %10s" % (kind, "true time", "tag", "error ms"))
    for name, true_time, shown, error in rows:
        shown_error = "-" if error is None else "%+.0f" % error
        print("%-6s %10.3f %12s %10s" % (name, true_time, shown, shown_error))
        failures += error is None or abs(error) > tolerance_ms
    if failures:
        sys.exit("%d %s(s) without a tag within %d ms of their time" % (failures, kind, tolerance_ms))
    print("every %s's tag lies within %d ms of its time" % (kind, tolerance_ms))


def run_step(make_song, drive_step, compare):
    """Runs the step the command line names: song, drive or compare."""
    command, args = sys.argv[1], sys.argv[2:]
    if command == "song":
        make_song(*args)
    elif command == "drive":
        drive_step(*args)
    elif command == "compare":
        compare(args[0], args[1], int(args[2]))
    else:
        sys.exit("unknown step %s" % command)

#!/usr/bin/env bash
# Types into the real window under Xvfb, kills it (kill -9, then SIGTERM) at
# random moments from a fixed seed, starts it again, restores the text from
# the start dialog, saves it, and checks what was saved: after kill -9 every
# burst of typing followed by a pause of more than two seconds, after
# SIGTERM all of it (typed in bursts with pauses well under or well over the
# two seconds, so that a slow machine does not blur which bursts were
# written). Needs Xvfb and xdotool (apt-get install xvfb xdotool).
# Usage: kill-test.sh [VERSELET] [ROUNDS] [SEED] [KINDS]   (KINDS: "KILL TERM", the default, or one of them)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
verselet="${1:-$root/build/test/bin/verselet}"
rounds="${2:-20}"
RANDOM="${3:-25}"
kinds="${4:-KILL TERM}"
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 0; }
done
[ -x "$verselet" ] || { echo "SKIPPED: $verselet is not built"; exit 0; }

work="$(mktemp -d)"
# Xvfb picks a display no other server uses and writes its number.
Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(tr -d '\n' <"$work/display")" XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config"
export LSAN_OPTIONS="detect_leaks=0" ASAN_OPTIONS="detect_leaks=0"
xdotool getdisplaygeometry >/dev/null
recovery="$XDG_STATE_HOME/verselet/recovery"
failures=0

now() { date +%s.%N; }
# Seconds as a decimal from hundredths.
seconds() { printf '%d.%02d' $(($1 / 100)) $(($1 % 100)); }
later_than() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Waits until a window whose title matches shows; its id.
window() {
  local id=""
  for _ in $(seq 100); do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)"
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# Clicks into the editor and types text at its end.
type_text() {
  xdotool mousemove 450 380 click 1
  xdotool key ctrl+End
  xdotool type --delay 15 "$1"
}

round() {
  local n="$1" how="$2"
  local file="$work/round$n.txt"
  printf 'start\r\n' >"$file"
  "$verselet" "$file" >"$work/run.log" 2>&1 &
  local pid=$!
  if [ -z "$(window "round$n.txt")" ]; then
    echo "round $n ($how): FAILED: no window"
    tail -n 20 "$work/run.log"
    kill -9 "$pid" 2>/dev/null || true
    failures=$((failures + 1))
    return 0
  fi
  local typed="" safe="" chunks=$((2 + RANDOM % 4)) pause
  for c in $(seq "$chunks"); do
    local word="w${n}c${c}x$RANDOM "
    type_text "$word"
    typed+="$word"
    # Pauses well under or well over the two seconds (the window may take a
    # moment to read the keys), so that which bursts were written is clear.
    if [ "$how" = TERM ]; then pause=$((RANDOM % 50));
    elif [ $((RANDOM % 2)) = 0 ]; then pause=$((RANDOM % 150)); else pause=$((350 + RANDOM % 100)); fi
    [ "$c" = "$chunks" ] && [ "$how" = TERM ] && pause=30
    sleep "$(seconds "$pause")"
    [ "$pause" -ge 350 ] && safe="$typed"
  done
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "round $n ($how): FAILED: the window ended by itself:"
    tail -n 20 "$work/run.log"
    failures=$((failures + 1))
    return 0
  fi
  if [ "$how" = KILL ]; then kill -9 "$pid"; else kill -TERM "$pid"; fi
  wait "$pid" 2>/dev/null || true
  [ "$how" = TERM ] && safe="$typed"
  # What the killed window left, for the report of a failed round.
  local left; left="$(cat "$recovery"/*.recovery 2>/dev/null | tail -n 2 | head -n 1 || true)"

  # Start again: the start dialog restores with Enter, Ctrl+S saves, SIGTERM ends.
  local before; before="$(cat "$file")"
  "$verselet" >"$work/run2.log" 2>&1 &
  pid=$!
  sleep 2
  local restored=0
  if ls "$recovery"/*.recovery >/dev/null 2>&1; then
    xdotool key Return
    restored=1
  fi
  [ -n "$(window "Verselet")" ] || true
  sleep 1
  if [ "$restored" = 1 ]; then
    xdotool mousemove 450 380 click 1
    xdotool key ctrl+s
  fi
  for _ in $(seq 50); do
    [ "$(cat "$file")" != "$before" ] && break
    sleep 0.1
  done
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  local got; got="$(cat "$file")"
  got="${got#start$'\r'$'\n'}"
  [ "$got" = "start"$'\r' ] && got=""
  # What was saved must be the typed text up to a burst's end, and no less than the safe part.
  local ok=1
  case "$typed" in "$got"*) ;; *) ok=0 ;; esac
  case "$got" in "$safe"*) ;; *) ok=0 ;; esac
  [ -z "$got" ] || [ "${got: -1}" = " " ] || ok=0
  if [ "$ok" = 1 ]; then
    echo "round $n ($how): ok, kept ${#got} of ${#typed} characters (at least ${#safe})"
  else
    echo "round $n ($how): FAILED: typed '$typed', at least '$safe', got '$got'; the recovery file's last line: '$left'"
    failures=$((failures + 1))
  fi
  rm -f "$recovery"/*.recovery
}

first=1
for kind in $kinds; do
  for n in $(seq "$first" "$((first + rounds - 1))"); do round "$n" "$kind"; done
  first=$((first + rounds))
done
if [ "$failures" -ne 0 ]; then
  echo "$failures round(s) lost typed text"
  exit 1
fi
echo "every round kept its text"

#!/usr/bin/env bash
# F9 with real X input: the running program freezes the screen into a board
# when none is open, and closes the board again on the next F9.
# Usage: f9_e2e.sh path/to/DrawBoard.exe   (inside the Wine/Xvfb session of tools/test.sh)
set -euo pipefail

EXE="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
WORK="$(mktemp -d)"
# A private copy: the program writes Config.ini next to itself.
cp "$EXE" "$WORK/DrawBoard.exe"
PID=""

cleanup() {
  if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then
    kill "$PID" 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$PID" 2>/dev/null || true
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "f9_e2e: $*" >&2; exit 1; }

# Visible windows whose title is exactly the given one.
visible_windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }

wait_for_window() {  # title seconds -> prints the window id
  local title="$1" seconds="$2" ids
  for _ in $(seq 1 $((seconds * 10))); do
    ids="$(visible_windows "$title")"
    if [ -n "$ids" ]; then echo "$ids" | head -1; return 0; fi
    sleep 0.1
  done
  return 1
}

wait_until_gone() {  # title seconds
  for _ in $(seq 1 $(($2 * 10))); do
    [ -z "$(visible_windows "$1")" ] && return 0
    sleep 0.1
  done
  return 1
}

(cd "$WORK" && exec timeout 180 wine DrawBoard.exe >/dev/null 2>&1) &
PID=$!

MAIN="$(wait_for_window '画板工具箱' 60)" || fail "the program's main window did not appear"
[ -z "$(visible_windows '画板')" ] || fail "a board was open before F9"

# Wine sees the hotkey only while one of its windows has the keyboard focus.
timeout 10 xdotool windowfocus --sync "$MAIN" || fail "could not focus the main window"
xdotool key F9
BOARD="$(wait_for_window '画板' 20)" || fail "F9 did not open a board"

# The board covers the whole screen.
read -r SW SH < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
eval "$(xdotool getwindowgeometry --shell "$BOARD")"
[ "$WIDTH" = "$SW" ] && [ "$HEIGHT" = "$SH" ] || fail "board is ${WIDTH}x${HEIGHT}, screen ${SW}x${SH}"
[ "$X" = 0 ] && [ "$Y" = 0 ] || fail "board at $X,$Y instead of the screen's corner"

# The second F9 closes it (the board has the focus now; make sure of it).
timeout 10 xdotool windowfocus --sync "$BOARD" || true
xdotool key F9
wait_until_gone '画板' 20 || fail "the second F9 did not close the board"
kill -0 "$PID" 2>/dev/null || fail "the program ended instead of only closing the board"

echo "f9_e2e: ok"

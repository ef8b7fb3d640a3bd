#!/usr/bin/env bash
# Shift with real X input: F9 freezes the screen into a board, R picks the
# rectangle, and a drag with Shift held draws a square (checked on the board
# copied to the clipboard): the square's outline in the pen colour, nothing at
# the corner the pointer reached.
# Usage: shift_square_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail

EXE="$1"
WORK="$(mktemp -d /tmp/shift_square_e2e.XXXXXX)"
PID=""

fail() {
  echo "FAIL: $*"
  exit 1
}

cleanup() {
  # Release anything still held down, whatever happened.
  xdotool mouseup 1 >/dev/null 2>&1 || true
  xdotool keyup shift >/dev/null 2>&1 || true
  if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then
    kill "$PID" 2>/dev/null || true
    sleep 0.5
    kill -9 "$PID" 2>/dev/null || true
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT

# Polls `condition` (a shell command) every 0.1 s for at most $1 seconds.
wait_for() {
  local limit="$1"
  shift
  local end=$((SECONDS + limit))
  while [ "$SECONDS" -le "$end" ]; do
    if eval "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}

# (Only the first line is wanted; a search that finds nothing is no error.)
first_line() { sed -n 1p; }
board_window() { { timeout 5 xdotool search --name '^画板$' 2>/dev/null || true; } | first_line; }

cp "$EXE" "$WORK/DrawBoard.exe" || fail "cannot copy the program"
cd "$WORK" || fail "no work folder"

timeout 180 wine DrawBoard.exe >/dev/null 2>&1 &
PID=$!

TOOLBOX=$({ timeout 30 xdotool search --sync --name '^画板工具箱$' || true; } | first_line)
[ -n "$TOOLBOX" ] || fail "the toolbox did not appear"
sleep 0.5
timeout 10 xdotool windowfocus --sync "$TOOLBOX" || fail "cannot focus the toolbox"
xdotool key F9
wait_for 20 '[ -n "$(board_window)" ]' || fail "F9 made no board"
BOARD=$(board_window)
sleep 1
timeout 10 xdotool windowfocus --sync "$BOARD" || fail "cannot focus the board"

xdotool key r
sleep 0.3
# From (400,300) towards (600,380): 200 x 80, squared to the mean, 140 x 140.
xdotool mousemove 400 300
sleep 0.2
xdotool keydown shift
sleep 0.2
xdotool mousedown 1
for step in 1 2 3 4 5; do
  xdotool mousemove $((400 + step * 40)) $((300 + step * 16))
  sleep 0.05
done
sleep 0.2
xdotool mouseup 1
sleep 0.2
xdotool keyup shift
sleep 0.5

xdotool key ctrl+c
targets() { timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null || true; }
has_image_target() { targets | grep '^image/' >/dev/null; }
wait_for 10 has_image_target || fail "the clipboard got no picture"
TARGET=$(targets | { grep -E '^image/(png|bmp)$' || true; } | first_line)
[ -n "$TARGET" ] || TARGET=$(targets | { grep '^image/' || true; } | first_line)
timeout 20 xclip -selection clipboard -t "$TARGET" -o > clip.img || fail "cannot read the clipboard ($TARGET)"

pixel() { convert clip.img -crop "1x1+$1+$2" +repage -depth 8 txt:- | awk 'NR == 2 { print $3 }'; }
PEN='#0000FF'  # the default pen colour, COLORREF 0xFF0000
# The square (400,300)-(540,440); the platform leaves out the right and bottom
# edges' last pixel, so its outline runs to 539 and 439.
for p in "400 300" "539 439" "400 430" "539 320" "470 300" "470 439"; do
  set -- $p
  c=$(pixel "$1" "$2")
  [ "$c" = "$PEN" ] || fail "square pixel ($1,$2) is $c, not the pen colour $PEN"
done
# Where the unsquared 200 x 80 box would have its right edge and bottom.
for p in "599 340" "500 379" "470 370"; do
  set -- $p
  c=$(pixel "$1" "$2")
  [ "$c" != "$PEN" ] || fail "pixel ($1,$2) off the square has the pen colour"
done

xdotool key F9
wait_for 10 '[ -z "$(board_window)" ]' || fail "F9 did not close the board"
echo "shift_square_e2e: ok"

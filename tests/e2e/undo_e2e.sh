#!/usr/bin/env bash
# Undo and redo with real X input: F9 freezes the screen into a board, Ctrl+C
# copies the frozen screen; R and a drag draw a rectangle; Ctrl+Z takes it
# back, so Ctrl+C copies exactly the frozen screen again; Ctrl+Y brings the
# rectangle back.
# Usage: undo_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail

EXE="$1"
WORK="$(mktemp -d /tmp/undo_e2e.XXXXXX)"
PID=""

fail() {
  echo "FAIL: $*"
  exit 1
}

cleanup() {
  # Release anything still held down, whatever happened.
  xdotool mouseup 1 >/dev/null 2>&1 || true
  xdotool keyup ctrl >/dev/null 2>&1 || true
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

targets() { timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null || true; }
has_image_target() { targets | grep '^image/' >/dev/null; }
# Ctrl+C on the board, then the clipboard's picture into file $1 (as PNG).
copy_board() {
  rm -f "$1"
  xdotool key ctrl+c
  wait_for 10 has_image_target || fail "the clipboard got no picture"
  sleep 1  # the new picture replaces the one copied before
  local target
  target=$(targets | { grep -E '^image/(png|bmp)$' || true; } | first_line)
  [ -n "$target" ] || target=$(targets | { grep '^image/' || true; } | first_line)
  timeout 20 xclip -selection clipboard -t "$target" -o > "$1.img" || fail "cannot read the clipboard ($target)"
  convert "$1.img" "png:$1" || fail "the clipboard's picture does not decode"
}
pixel() { convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | awk 'NR == 2 { print $3 }'; }
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

copy_board frozen.png

xdotool key r
sleep 0.3
xdotool mousemove 400 300
sleep 0.2
xdotool mousedown 1
for step in 1 2 3 4 5; do
  xdotool mousemove $((400 + step * 40)) $((300 + step * 20))
  sleep 0.05
done
sleep 0.2
xdotool mouseup 1
sleep 0.5

PEN='#0000FF'  # the default pen colour, COLORREF 0xFF0000
copy_board drawn.png
[ "$(pixel drawn.png 400 300)" = "$PEN" ] || fail "the rectangle was not drawn"

xdotool key ctrl+z
sleep 0.5
copy_board undone.png
n=$(differing frozen.png undone.png)
[ "$n" = "0" ] || fail "after Ctrl+Z the board differs from the frozen screen in $n pixels"

xdotool key ctrl+y
sleep 0.5
copy_board redone.png
n=$(differing drawn.png redone.png)
[ "$n" = "0" ] || fail "after Ctrl+Y the board differs from the drawn one in $n pixels"
[ "$(pixel redone.png 599 399)" = "$PEN" ] || fail "Ctrl+Y did not bring the rectangle back"

xdotool key F9
wait_for 10 '[ -z "$(board_window)" ]' || fail "F9 did not close the board"
echo "undo_e2e: ok"

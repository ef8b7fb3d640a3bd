#!/usr/bin/env bash
# Saving the board with real X input: F9 freezes the screen, R and a drag draw
# a rectangle, the toolbox's save cell opens the save dialog, an absolute path
# with Chinese characters is typed and Enter pressed. The PNG file must exist,
# have the screen's size and show the rectangle in the pen colour, with no
# temporary file left beside it.
# Usage: save_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail

EXE="$1"
WORK="$(mktemp -d /tmp/save_e2e.XXXXXX)"
PID=""

fail() {
  echo "FAIL: $*"
  exit 1
}

cleanup() {
  # Whatever is still open (the dialog included) goes with the program.
  if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then
    kill "$PID" 2>/dev/null || true
    sleep 0.5
    kill -9 "$PID" 2>/dev/null || true
  fi
  xdotool mouseup 1 >/dev/null 2>&1 || true
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
window_named() { { timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; } | first_line; }

cp "$EXE" "$WORK/DrawBoard.exe" || fail "cannot copy the program"
cd "$WORK" || fail "no work folder"
mkdir "$WORK/保存的图片" || fail "cannot make the target folder"
TARGET="$WORK/保存的图片/画板截图.png"
# The same file as the program sees it: Wine's Z: drive is the root.
TYPED="Z:$(printf '%s' "$TARGET" | tr '/' '\\')"
SCREEN_W=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1] }')
SCREEN_H=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[2] }')

timeout 200 wine DrawBoard.exe >/dev/null 2>&1 &
PID=$!

TOOLBOX=$({ timeout 30 xdotool search --sync --name '^画板工具箱$' || true; } | first_line)
[ -n "$TOOLBOX" ] || fail "the toolbox did not appear"
toolbox_x() { { timeout 5 xdotool getwindowgeometry --shell "$TOOLBOX" || true; } | sed -n 's/^X=//p'; }
wait_for 10 '[ "$(toolbox_x)" = 0 ]' || fail "the toolbox did not take its place"
eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
TB_Y=$Y
TB_H=$HEIGHT

# F9 reaches the program only while one of its windows has the keyboard focus.
timeout 10 xdotool windowfocus --sync "$TOOLBOX" || fail "cannot focus the toolbox"
xdotool key F9
wait_for 20 '[ -n "$(window_named 画板)" ]' || fail "F9 made no board"
BOARD=$(window_named 画板)
sleep 1
timeout 10 xdotool windowfocus --sync "$BOARD" || fail "cannot focus the board"

# R and a drag: a rectangle from (400,300) to (600,400).
xdotool key r
sleep 0.3
xdotool mousemove 400 300
sleep 0.2
xdotool mousedown 1
for step in 1 2 3 4 5; do
  xdotool mousemove $((400 + step * 40)) $((300 + step * 20))
  sleep 0.05
done
xdotool mouseup 1
sleep 0.5

# The toolbox comes back when the pointer touches the left edge at its height.
xdotool mousemove 1 $((TB_Y + TB_H / 2))
sleep 0.3
xdotool mousemove 2 $((TB_Y + TB_H / 2 + 1))
wait_for 5 '[ "$(toolbox_x)" = 0 ]' || fail "the toolbox did not come back at the left edge"

# The save cell: palette cell 22 (column 2, row 11 of 26-pixel cells on a
# 27-pixel pitch from (5,5)); the palette starts 20 pixels down the toolbox.
xdotool mousemove 45 $((TB_Y + 20 + 5 + 10 * 27 + 13))
sleep 0.3
xdotool click 1
wait_for 20 '[ -n "$(window_named 保存到文件)" ]' || fail "the save cell opened no save dialog"
DIALOG=$(window_named 保存到文件)
timeout 10 xdotool windowfocus --sync "$DIALOG" || fail "cannot focus the save dialog"
sleep 0.5
# The dialog opens with an empty name box that has the focus. xdotool types
# each Chinese character through a spare keycode it maps for that character
# and maps back after the key's release, waiting the delay in between: Wine
# needs that time to read the new map, or it drops the character. (Mapping
# the characters before the program starts drops them more often.)
xdotool type --delay 350 "$TYPED"
sleep 0.3
xdotool key Return
# (A failed save would show its message box under the same title.)
wait_for 20 '[ -z "$(window_named 保存到文件)" ]' ||
  fail "the save dialog (or a failure message) is still open after Enter"
wait_for 20 '[ -s "$TARGET" ]' || fail "no file at $TARGET ($(ls "$WORK/保存的图片"))"
# Give the atomic replace its moment, then nothing but the picture is there.
sleep 0.5
[ "$(ls -A "$WORK/保存的图片")" = "画板截图.png" ] ||
  fail "the folder holds: $(ls -A "$WORK/保存的图片")"

[ "$(head -c 4 "$TARGET" | od -An -tx1 | tr -d ' ')" = "89504e47" ] || fail "the file is not a PNG"
SIZE=$(identify -format '%wx%h' "$TARGET" 2>/dev/null || true)
[ "$SIZE" = "${SCREEN_W}x${SCREEN_H}" ] || fail "the saved picture is '$SIZE', not the screen's size"

pixel() { convert "$TARGET" -crop "1x1+$1+$2" +repage -depth 8 txt:- | awk 'NR == 2 { print $3 }'; }
PEN='#0000FF'  # the default pen colour, COLORREF 0xFF0000
for p in "400 300" "599 399" "400 350" "599 350" "500 300" "500 399"; do
  set -- $p
  c=$(pixel "$1" "$2")
  [ "$c" = "$PEN" ] || fail "outline pixel ($1,$2) is $c, not the pen colour $PEN"
done
for p in "500 350" "398 350" "500 297" "602 350"; do
  set -- $p
  c=$(pixel "$1" "$2")
  [ "$c" != "$PEN" ] || fail "pixel ($1,$2) off the outline has the pen colour"
done

kill -0 "$PID" 2>/dev/null || fail "the program ended"
echo "PASS"

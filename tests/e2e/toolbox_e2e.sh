#!/usr/bin/env bash
# End to end through the toolbox: the built program under Wine on the test
# session's X display, driven by real X input.
#   F9 freezes the screen into a board, R + a mouse drag draws a rectangle,
#   Ctrl+C puts the board on the clipboard (checked: screen size, outline in
#   the pen colour, inside untouched), F9 closes the board, the title strip
#   drags the toolbox, a click on its close zone ends the program, which
#   leaves Config.ini.
# Usage: toolbox_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail

EXE="$1"
WORK="$(mktemp -d /tmp/toolbox_e2e.XXXXXX)"
PID=""

fail() {
  echo "FAIL: $*"
  exit 1
}

cleanup() {
  if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then
    kill "$PID" 2>/dev/null || true
    sleep 0.5
    kill -9 "$PID" 2>/dev/null || true
  fi
  # Release anything still held down, whatever happened.
  xdotool mouseup 1 >/dev/null 2>&1 || true
  xdotool keyup ctrl >/dev/null 2>&1 || true
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
SCREEN_W=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1] }')
SCREEN_H=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[2] }')

timeout 180 wine DrawBoard.exe >/dev/null 2>&1 &
PID=$!

TOOLBOX=$({ timeout 30 xdotool search --sync --name '^画板工具箱$' || true; } | first_line)
[ -n "$TOOLBOX" ] || fail "the toolbox did not appear"
# The window is named when it is made; it takes its place when it is shown.
toolbox_x() { { timeout 5 xdotool getwindowgeometry --shell "$TOOLBOX" || true; } | sed -n 's/^X=//p'; }
wait_for 10 '[ "$(toolbox_x)" = 0 ]' || true  # checked below with its geometry
eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
TB_Y=$Y
TB_H=$HEIGHT
[ "$X" -eq 0 ] || fail "the toolbox starts at x=$X, not at the left edge"
[ "$WIDTH" -eq 64 ] && [ "$HEIGHT" -eq 473 ] || fail "the toolbox is ${WIDTH}x${HEIGHT}, not 64x473"
[ "$TB_Y" -eq $(((SCREEN_H - 473) / 2)) ] || fail "the toolbox is not centred vertically (y=$TB_Y)"

# F9 reaches the program only while one of its windows has the keyboard focus.
timeout 10 xdotool windowfocus --sync "$TOOLBOX" || fail "cannot focus the toolbox"
xdotool key F9
wait_for 20 '[ -n "$(board_window)" ]' || fail "F9 made no board"
BOARD=$(board_window)
eval "$(xdotool getwindowgeometry --shell "$BOARD")"
[ "$WIDTH" -eq "$SCREEN_W" ] && [ "$HEIGHT" -eq "$SCREEN_H" ] || fail "the board is ${WIDTH}x${HEIGHT}"
# Give the board its set-up time, then make sure it has the keys.
sleep 1
timeout 10 xdotool windowfocus --sync "$BOARD" || fail "cannot focus the board"

# R selects the rectangle; a drag draws it.
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

# Ctrl+C: the board onto the clipboard.
xdotool key ctrl+c
targets() { timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null || true; }
has_image_target() { targets | grep '^image/' >/dev/null; }
wait_for 10 has_image_target || fail "the clipboard got no picture"
TARGET=$(targets | { grep -E '^image/(png|bmp)$' || true; } | first_line)
[ -n "$TARGET" ] || TARGET=$(targets | { grep '^image/' || true; } | first_line)
timeout 20 xclip -selection clipboard -t "$TARGET" -o > clip.img || fail "cannot read the clipboard ($TARGET)"
SIZE=$(identify -format '%wx%h' clip.img 2>/dev/null || true)
[ "$SIZE" = "${SCREEN_W}x${SCREEN_H}" ] || fail "clipboard picture is '$SIZE', not the screen's size"

pixel() { convert clip.img -crop "1x1+$1+$2" +repage -depth 8 txt:- | awk 'NR == 2 { print $3 }'; }
PEN='#0000FF'  # the default pen colour, COLORREF 0xFF0000
for p in "400 300" "599 399" "400 350" "599 350" "500 300" "500 399" "450 399"; do
  set -- $p
  c=$(pixel "$1" "$2")
  [ "$c" = "$PEN" ] || fail "outline pixel ($1,$2) is $c, not the pen colour $PEN"
done
for p in "500 350" "398 350" "500 297" "602 350"; do
  set -- $p
  c=$(pixel "$1" "$2")
  [ "$c" != "$PEN" ] || fail "pixel ($1,$2) off the outline has the pen colour"
done

# Bring the toolbox back from the edge (the pointer along its height at the
# left screen edge, over the board), then F9 closes the board.
xdotool mousemove 1 $((TB_Y + TB_H / 2))
sleep 0.3
xdotool mousemove 2 $((TB_Y + TB_H / 2 + 1))
wait_for 5 '[ "$(toolbox_x)" = 0 ]' ||
  fail "the toolbox did not come back at the left edge"
# In the middle of the board it slides away again; F9 closes the board.
xdotool mousemove $((SCREEN_W / 2)) $((SCREEN_H / 2))
sleep 0.3
xdotool mousemove $((SCREEN_W / 2 + 1)) $((SCREEN_H / 2 + 1))
wait_for 5 '[ "$(toolbox_x)" != 0 ]' || fail "the toolbox stayed in view with the pointer on the board"
xdotool key F9
wait_for 10 '[ -z "$(board_window)" ]' || fail "F9 did not close the board"
# No window of the program is under the pointer now, so only the cursor poll
# can see it touch the left edge at the toolbox's height: the toolbox comes back.
xdotool mousemove 1 $((TB_Y + TB_H / 2))
wait_for 5 '[ "$(toolbox_x)" = 0 ]' ||
  fail "the hidden toolbox did not come back at the left edge after the board closed"

# The title strip drags the toolbox; away from the edges it stays in view.
xdotool mousemove 20 $((TB_Y + 10))
sleep 0.2
xdotool mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove $((20 + step * 100)) $((TB_Y + 10 + step * 10))
  sleep 0.05
done
xdotool mouseup 1
wait_for 5 '[ "$(toolbox_x)" = 600 ]' || fail "dragging the title strip did not move the toolbox (x=$(toolbox_x))"
eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
[ "$Y" -eq $((TB_Y + 60)) ] || fail "the dragged toolbox is at y=$Y"
TB_X=$X
TB_Y=$Y
xdotool mousemove $((TB_X + 30)) $((TB_Y + 200))
sleep 0.3
[ "$(toolbox_x)" = "$TB_X" ] || fail "a toolbox in the middle of the screen slid away"

# The close zone: the rightmost 16 pixels of the title strip.
[ ! -e Config.ini ] || rm -f Config.ini
xdotool mousemove $((TB_X + 40)) $((TB_Y + 10))
sleep 0.2
xdotool mousemove $((TB_X + 56)) $((TB_Y + 10))
sleep 0.2
xdotool click 1
wait_for 15 '! kill -0 "$PID" 2>/dev/null' || fail "the program did not end from the close zone"
STATUS=0
wait "$PID" || STATUS=$?
PID=""
[ "$STATUS" -eq 0 ] || fail "the program ended with status $STATUS"
[ -f Config.ini ] || fail "Config.ini was not written next to the program"
CONFIG=$(iconv -f GBK -t UTF-8 Config.ini | tr -d '\r')
grep '^画笔颜色=16711680$' <<<"$CONFIG" >/dev/null || fail "Config.ini lacks the pen colour"
grep '^截屏延时=' <<<"$CONFIG" >/dev/null || fail "Config.ini lacks the capture delay"
echo "PASS"

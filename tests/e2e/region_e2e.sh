#!/usr/bin/env bash
# End to end through the region screenshot: the built program under Wine on
# the test session's X display, driven by real X input.
#   A known pattern is put on the screen (an X picture viewer), the toolbox's
#   region cell freezes the screen, a mouse drag selects exactly the pattern,
#   Enter confirms it, a picture window of the pattern's size opens, and its
#   menu's "复制到剪贴板" puts exactly the pattern's pixels on the clipboard.
#   The window opens centred on the last pointer position and the toolbox
#   comes back; Esc closes the picture window.
# Usage: region_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail

EXE="$1"
WORK="$(mktemp -d /tmp/region_e2e.XXXXXX)"
PID=""
VIEWER=""
HOLDER=""

fail() {
  echo "FAIL: $*"
  exit 1
}

cleanup() {
  for p in "$PID" "$VIEWER" "$HOLDER"; do
    if [ -n "$p" ] && kill -0 "$p" 2>/dev/null; then
      kill "$p" 2>/dev/null || true
      sleep 0.3
      kill -9 "$p" 2>/dev/null || true
    fi
  done
  xdotool mouseup 1 >/dev/null 2>&1 || true
  xdotool key Escape >/dev/null 2>&1 || true
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
find_window() { { timeout 5 xdotool search --name "$1" 2>/dev/null || true; } | first_line; }
targets() { timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null || true; }
has_image_target() { targets | grep '^image/' >/dev/null; }

cp "$EXE" "$WORK/DrawBoard.exe" || fail "cannot copy the program"
cd "$WORK" || fail "no work folder"

# The pattern: four coloured quarters and a marked corner, 120 x 80, shown at
# (700, 400) by an X picture viewer (no window manager: no frame, no move).
PX=700
PY=400
PW=120
PH=80
convert -size ${PW}x${PH} xc:'#2050c0' \
  -fill '#e04020' -draw "rectangle 0,0 59,39" \
  -fill '#20c040' -draw "rectangle 60,40 119,79" \
  -fill '#f0e020' -draw "rectangle 0,70 9,79" \
  -fill '#ffffff' -draw "point 119,0" pattern.png || fail "cannot make the pattern"
timeout 170 display -borderwidth 0 -geometry +${PX}+${PY} -title drawboard-pattern pattern.png >/dev/null 2>&1 &
VIEWER=$!
convert pattern.png -alpha off pattern.ppm || fail "cannot convert the pattern"
# The screen shows exactly the pattern at (PX, PY).
on_screen() {
  timeout 10 xwd -root -silent | convert xwd:- -crop ${PW}x${PH}+${PX}+${PY} +repage -alpha off shown.ppm &&
    [ "$(compare -metric AE shown.ppm pattern.ppm null: 2>&1)" = "0" ]
}
wait_for 20 on_screen || fail "the pattern did not show at ($PX, $PY)"

timeout 170 wine DrawBoard.exe >/dev/null 2>&1 &
PID=$!
TOOLBOX=$({ timeout 30 xdotool search --sync --name '^画板工具箱$' || true; } | first_line)
[ -n "$TOOLBOX" ] || fail "the toolbox did not appear"
toolbox_x() { { timeout 5 xdotool getwindowgeometry --shell "$TOOLBOX" || true; } | sed -n 's/^X=//p'; }
wait_for 10 '[ "$(toolbox_x)" = 0 ]' || fail "the toolbox did not settle"
eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
TB_Y=$Y

# The region cell: palette cell 2 (second column, first row), below the title strip.
xdotool mousemove 45 $((TB_Y + 38))
sleep 0.3
xdotool click 1
wait_for 15 '[ -n "$(find_window "^框选区域截屏$")" ]' || fail "the region cell opened no selection window"
SELECT=$(find_window '^框选区域截屏$')
sleep 0.5

# A drag over exactly the pattern (both corners included).
xdotool mousemove $PX $PY
sleep 0.2
xdotool mousedown 1
for step in 1 2 3 4 5; do
  xdotool mousemove $((PX + (PW - 1) * step / 5)) $((PY + (PH - 1) * step / 5))
  sleep 0.05
done
xdotool mouseup 1
sleep 0.3

timeout 10 xdotool windowfocus --sync "$SELECT" || fail "cannot focus the selection window"
xdotool key Return
wait_for 15 '[ -n "$(find_window "^image$")" ]' || fail "Enter opened no picture window"
wait_for 10 '[ -z "$(find_window "^框选区域截屏$")" ]' || fail "the selection window stayed"
PICTURE=$(find_window '^image$')
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$PICTURE")"
[ "$WIDTH" -eq $PW ] && [ "$HEIGHT" -eq $PH ] || fail "the picture window is ${WIDTH}x${HEIGHT}, not ${PW}x${PH}"
WX=$X
WY=$Y
# Centred on where the pointer last was (the drag's end, where Enter came).
[ "$WX" -eq $((PX + PW - 1 - PW / 2)) ] && [ "$WY" -eq $((PY + PH - 1 - PH / 2)) ] ||
  fail "the picture window is at ($WX, $WY), not centred on the last pointer position"
# The toolbox is back: docked at the edge while the pointer was away, it
# comes out when the pointer touches the edge at its height.
xdotool mousemove 1 $((TB_Y + 100))
sleep 0.3
xdotool mousemove 2 $((TB_Y + 101))
viewable() { xwininfo -id "$TOOLBOX" | grep -q 'Map State: IsViewable'; }
wait_for 10 '[ "$(toolbox_x)" = 0 ] && viewable' ||
  fail "the toolbox did not come back (x=$(toolbox_x))"

# The screenshot left the region on the clipboard: put text there instead,
# so what the menu copies below is the picture window's own.
echo "not a picture" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
HOLDER=$!
wait_for 5 '! has_image_target' || fail "the clipboard still holds a picture"

# Its menu: right button, then the third item ("复制到剪贴板") by keys.
xdotool mousemove $((WX + PW / 2)) $((WY + PH / 2))
sleep 0.2
timeout 10 xdotool windowfocus --sync "$PICTURE" || fail "cannot focus the picture window"
xdotool click 3
sleep 0.8
xdotool key Down
sleep 0.1
xdotool key Down
sleep 0.1
xdotool key Down
sleep 0.1
xdotool key Return
wait_for 10 has_image_target || fail "复制到剪贴板 put no picture on the clipboard"
TARGET=$(targets | { grep -E '^image/(png|bmp)$' || true; } | first_line)
[ -n "$TARGET" ] || TARGET=$(targets | { grep '^image/' || true; } | first_line)
timeout 20 xclip -selection clipboard -t "$TARGET" -o > clip.img || fail "cannot read the clipboard ($TARGET)"
SIZE=$(identify -format '%wx%h' clip.img 2>/dev/null || true)
[ "$SIZE" = "${PW}x${PH}" ] || fail "the copied picture is '$SIZE', not ${PW}x${PH}"
convert clip.img -alpha off clip.ppm || fail "cannot convert the copied picture"
DIFF=$(compare -metric AE clip.ppm pattern.ppm null: 2>&1 || true)
[ "$DIFF" = "0" ] || fail "the copied picture differs from the pattern in $DIFF pixels"

# Esc closes the picture window.
timeout 10 xdotool windowfocus --sync "$PICTURE" || fail "cannot focus the picture window"
xdotool key Escape
wait_for 10 '[ -z "$(find_window "^image$")" ]' || fail "Esc did not close the picture window"
echo "PASS"

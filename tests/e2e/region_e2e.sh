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
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

dismiss() { xdotool key Escape >/dev/null 2>&1 || true; }  # a menu left open
on_cleanup dismiss

e2e_begin "$1"
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
track $!
convert pattern.png -alpha off pattern.ppm || fail "cannot convert the pattern"
# The screen shows exactly the pattern at (PX, PY).
on_screen() {
  timeout 10 xwd -root -silent | convert xwd:- -crop ${PW}x${PH}+${PX}+${PY} +repage -alpha off shown.ppm &&
    [ "$(compare -metric AE shown.ppm pattern.ppm null: 2>&1)" = "0" ]
}
wait_for 20 on_screen || fail "the pattern did not show at ($PX, $PY)"

start_program 170
wait_for_toolbox
settle_toolbox

# The region cell: palette cell 2 (second column, first row), below the title strip.
xdotool mousemove 45 $((TB_Y + 38))
sleep 0.3
xdotool click 1
SELECT="$(wait_for_window 框选区域截屏 15)" || fail "the region cell opened no selection window"
sleep 0.5

# A drag over exactly the pattern (both corners included).
drag $PX $PY $((PX + PW - 1)) $((PY + PH - 1)) 5

timeout 10 xdotool windowfocus --sync "$SELECT" || fail "cannot focus the selection window"
xdotool key Return
PICTURE="$(wait_for_window image 15)" || fail "Enter opened no picture window"
wait_until_gone 框选区域截屏 10 || fail "the selection window stayed"
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
bring_toolbox_back $((TB_Y + 100))
viewable() { xwininfo -id "$TOOLBOX" | grep -q 'Map State: IsViewable'; }
wait_for 10 viewable || fail "the toolbox did not come back (not viewable)"

# The screenshot left the region on the clipboard: put text there instead,
# so what the menu copies below is the picture window's own.
echo "not a picture" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
track $!
wait_for 5 '! has_image_target' || fail "the clipboard still holds a picture"

# Its menu: right button, then the third item ("复制到剪贴板") by keys.
xdotool mousemove $((WX + PW / 2)) $((WY + PH / 2))
sleep 0.2
timeout 10 xdotool windowfocus --sync "$PICTURE" || fail "cannot focus the picture window"
xdotool click 3
sleep 0.8
for _ in 1 2 3; do
  xdotool key Down
  sleep 0.1
done
xdotool key Return
wait_for 10 has_image_target || fail "复制到剪贴板 put no picture on the clipboard"
clipboard_picture clip.img
SIZE=$(identify -format '%wx%h' clip.img 2>/dev/null || true)
[ "$SIZE" = "${PW}x${PH}" ] || fail "the copied picture is '$SIZE', not ${PW}x${PH}"
convert clip.img -alpha off clip.ppm || fail "cannot convert the copied picture"
DIFF=$(compare -metric AE clip.ppm pattern.ppm null: 2>&1 || true)
[ "$DIFF" = "0" ] || fail "the copied picture differs from the pattern in $DIFF pixels"

# Esc closes the picture window.
timeout 10 xdotool windowfocus --sync "$PICTURE" || fail "cannot focus the picture window"
xdotool key Escape
wait_until_gone image 10 || fail "Esc did not close the picture window"
pass

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
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

e2e_begin "$1"
start_program 180
wait_for_toolbox
settle_toolbox
[ "$WIDTH" -eq 64 ] && [ "$HEIGHT" -eq 473 ] || fail "the toolbox is ${WIDTH}x${HEIGHT}, not 64x473"
[ "$TB_Y" -eq $(((SCREEN_H - 473) / 2)) ] || fail "the toolbox is not centred vertically (y=$TB_Y)"

open_board
expect_full_screen "$BOARD"

# R selects the rectangle; a drag draws it.
tool_key r
drag 400 300 600 400 5

# Ctrl+C: the board onto the clipboard.
copy_board clip.img
SIZE=$(identify -format '%wx%h' clip.img 2>/dev/null || true)
[ "$SIZE" = "${SCREEN_W}x${SCREEN_H}" ] || fail "clipboard picture is '$SIZE', not the screen's size"
PEN='#0000FF'  # the default pen colour, COLORREF 0xFF0000
expect_colour clip.img "$PEN" outline "400 300" "599 399" "400 350" "599 350" "500 300" "500 399" "450 399"
expect_not_colour clip.img "$PEN" "off-outline" "500 350" "398 350" "500 297" "602 350"

# Bring the toolbox back from the edge (the pointer along its height at the
# left screen edge, over the board), then F9 closes the board.
bring_toolbox_back
# In the middle of the board it slides away again; F9 closes the board.
xdotool mousemove $((SCREEN_W / 2)) $((SCREEN_H / 2))
sleep 0.3
xdotool mousemove $((SCREEN_W / 2 + 1)) $((SCREEN_H / 2 + 1))
wait_for 5 '[ "$(toolbox_x)" != 0 ]' || fail "the toolbox stayed in view with the pointer on the board"
xdotool key F9
wait_until_gone 画板 10 || fail "F9 did not close the board"
# No window of the program is under the pointer now, so only the cursor poll
# can see it touch the left edge at the toolbox's height: the toolbox comes back.
xdotool mousemove 1 $((TB_Y + TB_H / 2))
wait_for 5 '[ "$(toolbox_x)" = 0 ]' ||
  fail "the hidden toolbox did not come back at the left edge after the board closed"

# The title strip drags the toolbox; away from the edges it stays in view.
drag 20 $((TB_Y + 10)) 620 $((TB_Y + 70)) 6
wait_for 5 '[ "$(toolbox_x)" = 600 ]' || fail "dragging the title strip did not move the toolbox (x=$(toolbox_x))"
eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
[ "$Y" -eq $((TB_Y + 60)) ] || fail "the dragged toolbox is at y=$Y"
TB_X=$X
TB_Y=$Y
xdotool mousemove $((TB_X + 30)) $((TB_Y + 200))
sleep 0.3
[ "$(toolbox_x)" = "$TB_X" ] || fail "a toolbox in the middle of the screen slid away"

rm -f Config.ini
quit_by_close_zone "$TB_X" "$TB_Y"
[ -f Config.ini ] || fail "Config.ini was not written next to the program"
CONFIG=$(iconv -f GBK -t UTF-8 Config.ini | tr -d '\r')
grep '^画笔颜色=16711680$' <<<"$CONFIG" >/dev/null || fail "Config.ini lacks the pen colour"
grep '^截屏延时=' <<<"$CONFIG" >/dev/null || fail "Config.ini lacks the capture delay"
pass

#!/usr/bin/env bash
# A 1280x1024 monitor left of the 1920x1080 primary (negative Windows x), on an X server and
# Wine session of their own: one board over both, a line and a region across the seam, a
# picture window kept on the pointer's monitor, docking at the outer left edge. Exit 77
# (skip) only when that X server cannot start. Usage: monitors_e2e.sh path/to/DrawBoard.exe
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
. "$ROOT/tools/monitors.sh"
. "$ROOT/tools/winenv.sh"
monitors_start 1920x1080+1280+0 1280x1024+0+56 || {  # X root coordinates
  echo "$E2E_NAME: skipped: Xorg's dummy driver cannot start here (root, tools/setup.sh)"; exit 77; }
stop_session() { winenv_stop; monitors_stop; } && on_cleanup stop_session
winenv_start "$(cd "$(dirname "$1")" && pwd)/wine-monitors-session" use-display

e2e_begin "$1"
start_program 200
wait_for_toolbox
settle_toolbox  # at x 0: the desktop's outer left edge, the left monitor's
open_board
expect_full_screen "$BOARD"  # 3200x1080 at the desktop's corner
xdotool mousemove 1600 500 && sleep 0.3 && xdotool mousemove 1601 501
wait_for 10 '[ "$(toolbox_x)" -lt 0 ]' || fail "the toolbox did not dock at the outer left edge"
bring_toolbox_back
tool_key p
drag 1100 500 1500 500 8  # across the seam at x 1280
copy_board board.png
[ "$(identify -format %wx%h board.png)" = 3200x1080 ] || fail "the copy is not the desktop's size"
expect_colour board.png '#0000FF' "the line" "1200 500" "1400 500"
close_board

convert -size 120x80 xc:'#2050c0' -fill '#e04020' -draw "rectangle 0,0 59,39" pattern.png &&
  convert pattern.png -alpha off pattern.ppm || fail "cannot make the pattern"
timeout 150 display -borderwidth 0 -geometry +1220+400 pattern.png >/dev/null 2>&1 & track $!
sleep 2
bring_toolbox_back
xdotool mousemove 45 $((TB_Y + 38)) && sleep 0.3 && xdotool click 1  # the region cell
SELECT="$(wait_for_window 框选区域截屏 15)" || fail "no selection window"
eval "$(xdotool getwindowgeometry --shell "$SELECT")"
[ "$X,$Y,$WIDTH,$HEIGHT" = "0,0,3200,1080" ] || fail "the selection window is not over the desktop"
drag 1220 400 1339 479 5
timeout 10 xdotool windowfocus --sync "$SELECT" && xdotool key Return
PICTURE="$(wait_for_window image 15)" || fail "Enter opened no picture window"
clipboard_picture region.png && convert region.png -alpha off region.ppm
[ "$(compare -metric AE region.ppm pattern.ppm null: 2>&1)" = 0 ] || fail "the region is not the pattern"
# Centred on the pointer (1339, 479) it would cross the seam: kept on the primary.
eval "$(xdotool getwindowgeometry --shell "$PICTURE")"
[ "$X,$Y" = "1280,439" ] || fail "the picture window is at $X,$Y, not at 1280,439"
pass

#!/usr/bin/env bash
# End to end, real X input over random pixels: Right moves the pointer a pixel
# and C copies its colour as #RRGGBB; a rectangle moved by arrows and resized by
# Shift+arrows pins exactly those pixels; five wheel notches zoom its picture
# window 1.1^5 times; three Ctrl+wheel notches down fade it to 70 %, three up undo it.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
e2e_begin "$1"
PX=700 PY=400
convert -size 140x100 xc:'#806040' -seed 28 +noise Random -alpha off -depth 8 -type TrueColor pattern.png
timeout 170 display -borderwidth 0 -geometry +$PX+$PY pattern.png >/dev/null 2>&1 &
track $!
shown() { timeout 10 xwd -root -silent | convert xwd:- -crop "$1" +repage -alpha off "$2"; }
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]; }
wait_for 20 'shown 140x100+$PX+$PY on.ppm && same on.ppm pattern.png' || fail "the pattern did not show"
start_program 170
wait_for_toolbox
settle_toolbox
xdotool mousemove 45 $((TB_Y + 38)) sleep 0.3 click 1  # the region cell
SELECT="$(wait_for_window 框选区域截屏 15)" || fail "the region cell opened no selection window"
timeout 10 xdotool sleep 0.5 windowfocus --sync "$SELECT" mousemove $((PX + 9)) $((PY + 10)) sleep 0.3 key Right c
WANT="$(pixel pattern.png 10 10)"  # (9, 10) differs
wait_for 10 '[ "$(timeout 5 xclip -selection clipboard -o 2>/dev/null)" = "$WANT" ]' || fail "C did not copy $WANT"
# (10,10)-(59,39), three right, two down, four wider, one narrower, one taller: 53 x 31 at (13,12).
drag $((PX + 10)) $((PY + 10)) $((PX + 59)) $((PY + 39)) 5
xdotool key --delay 50 Right Right Right Down Down shift+Right shift+Right shift+Right shift+Right shift+Left shift+Down
xdotool mousemove $((PX + 30)) $((PY + 25)) sleep 0.3 key Return
PICTURE="$(wait_for_window image 15)" || fail "Enter opened no picture window"
wait_for 10 has_image_target && sleep 0.5 || fail "the clipboard got no picture"
clipboard_picture clip.img
convert clip.img -alpha off clip.ppm
convert pattern.png -crop 53x31+13+12 +repage -alpha off want.ppm
same clip.ppm want.ppm || fail "the pinned picture is not the moved and resized pixels"
geometry() { eval "$(xdotool getwindowgeometry --shell "$PICTURE")"; }
geometry
timeout 10 xdotool mousemove $((X + 20)) $((Y + 10)) sleep 0.3 windowfocus --sync "$PICTURE" click --repeat 5 --delay 100 4
wait_for 10 'geometry; [ "$WIDTH $HEIGHT" = "85 50" ]' && sleep 0.5 || fail "five notches made it ${WIDTH}x${HEIGHT}, not 85x50"
shown "85x50+$X+$Y" zoomed.ppm
for c in "0 0 13 12" "84 0 65 12" "0 49 13 42" "84 49 65 42"; do
  read -r zx zy wx wy <<< "$c"
  [ "$(pixel zoomed.ppm "$zx" "$zy")" = "$(pixel pattern.png "$wx" "$wy")" ] || fail "zoomed corner ($zx, $zy) is wrong"
done
opacity() { xprop -id "$PICTURE" _NET_WM_WINDOW_OPACITY 2>/dev/null | sed -n 's/.* = //p'; }
[ -z "$(opacity)" ] || fail "an opaque picture window is layered"
xdotool keydown ctrl click --repeat 3 --delay 100 5 keyup ctrl
wait_for 10 '[ "$(opacity)" = $((179 * 0x01010101)) ]' || fail "three notches down gave opacity '$(opacity)', not 70 %"
xdotool keydown ctrl click --repeat 3 --delay 100 4 keyup ctrl
wait_for 10 '[ -z "$(opacity)" ]' || fail "at 100 % the window is still layered"
pass

#!/usr/bin/env bash
# End to end through the keys of the region screenshot and the wheel of a
# picture window, with real X input over a known picture of random pixels:
#   an arrow moves the pointer one pixel before a rectangle is chosen; C puts
#   the colour under the pointer on the clipboard as #RRGGBB; a dragged
#   rectangle moved by arrows and resized by Shift+arrows pins exactly those
#   pixels; five wheel notches up make the picture window 1.1^5 times its size
#   with the picture's corner pixels at its corners; three Ctrl+wheel notches
#   down leave it at 70 % opacity, and three up make it opaque and plain again.
# Usage: pixel_region_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

e2e_begin "$1"
PX=700
PY=400
convert -size 140x100 xc:'#806040' -seed 28 +noise Random -alpha off -depth 8 -type TrueColor pattern.png || fail "cannot make the pattern"
timeout 170 display -borderwidth 0 -geometry +${PX}+${PY} -title drawboard-pattern pattern.png >/dev/null 2>&1 &
track $!
shown() { timeout 10 xwd -root -silent | convert xwd:- -crop "$1" +repage -alpha off "$2"; }
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]; }
convert pattern.png -alpha off pattern.ppm
wait_for 20 'shown 140x100+$PX+$PY on.ppm && same on.ppm pattern.ppm' || fail "the pattern did not show"

start_program 170
wait_for_toolbox
settle_toolbox
xdotool mousemove 45 $((TB_Y + 38))  # the region cell
sleep 0.3
xdotool click 1
SELECT="$(wait_for_window 框选区域截屏 15)" || fail "the region cell opened no selection window"
sleep 0.5
timeout 10 xdotool windowfocus --sync "$SELECT" || fail "cannot focus the selection window"

# No rectangle yet: Right moves the pointer a pixel; C copies its colour.
xdotool mousemove $((PX + 9)) $((PY + 10))
sleep 0.3
xdotool key Right
wait_for 5 '[ "$(xdotool getmouselocation | cut -d" " -f1-2)" = "x:$((PX + 10)) y:$((PY + 10))" ]' ||
  fail "Right did not move the pointer one pixel ($(xdotool getmouselocation))"
xdotool key c
WANT="$(pixel pattern.png 10 10)"
wait_for 10 '[ "$(timeout 5 xclip -selection clipboard -o 2>/dev/null)" = "$WANT" ]' ||
  fail "C gave '$(timeout 5 xclip -selection clipboard -o 2>/dev/null || true)', not $WANT"
[ -n "$(window_named 框选区域截屏)" ] || fail "C closed the selection"

# (10,10)-(59,39) of the pattern, three right and two down, four wider, one
# narrower, one taller: (13,12)-(65,42), 53 x 31.
drag $((PX + 10)) $((PY + 10)) $((PX + 59)) $((PY + 39)) 5
for k in Right Right Right Down Down shift+Right shift+Right shift+Right shift+Right shift+Left shift+Down; do
  xdotool key "$k"
  sleep 0.05
done
xdotool mousemove $((PX + 30)) $((PY + 25))  # inside, where the picture window opens
sleep 0.3
xdotool key Return
PICTURE="$(wait_for_window image 15)" || fail "Enter opened no picture window"
wait_for 10 has_image_target || fail "the clipboard got no picture"
sleep 0.5
clipboard_picture clip.img
convert clip.img -alpha off clip.ppm
convert pattern.png -crop 53x31+13+12 +repage -alpha off want.ppm
same clip.ppm want.ppm || fail "the pinned picture is $(identify -format %wx%h clip.img), not the moved and resized pixels"

geometry() { eval "$(xdotool getwindowgeometry --shell "$PICTURE")"; }
geometry
[ "$WIDTH" = 53 ] && [ "$HEIGHT" = 31 ] || fail "the picture window is ${WIDTH}x${HEIGHT}, not 53x31"
xdotool mousemove $((X + 20)) $((Y + 10))
sleep 0.3
timeout 10 xdotool windowfocus --sync "$PICTURE" || fail "cannot focus the picture window"
xdotool click --repeat 5 --delay 100 4
# 53 x 1.1^5 = 85.4, 31 x 1.1^5 = 49.9
wait_for 10 'geometry; [ "$WIDTH" = 85 ] && [ "$HEIGHT" = 50 ]' || fail "five notches made it ${WIDTH}x${HEIGHT}, not 85x50"
sleep 0.5
shown "${WIDTH}x${HEIGHT}+$X+$Y" zoomed.ppm || fail "cannot read the screen"
for c in "0 0 13 12" "84 0 65 12" "0 49 13 42" "84 49 65 42"; do
  read -r zx zy wx wy <<< "$c"
  [ "$(pixel zoomed.ppm "$zx" "$zy")" = "$(pixel pattern.png "$wx" "$wy")" ] ||
    fail "the zoomed window's pixel ($zx, $zy) is not the picture's ($wx, $wy)"
done

opacity() { xprop -id "$PICTURE" _NET_WM_WINDOW_OPACITY 2>/dev/null | sed -n 's/.* = //p'; }
[ -z "$(opacity)" ] || fail "an opaque picture window is layered ($(opacity))"
xdotool keydown ctrl click --repeat 3 --delay 100 5 keyup ctrl
# 70 % of 255 is 179, which X is told as 179 x 0x01010101.
wait_for 10 '[ "$(opacity)" = $((179 * 0x01010101)) ]' || fail "three Ctrl+wheel notches down gave opacity '$(opacity)'"
xdotool keydown ctrl click --repeat 3 --delay 100 4 keyup ctrl
wait_for 10 '[ -z "$(opacity)" ]' || fail "back at 100 % the window is still layered ($(opacity))"
geometry
[ "$WIDTH" = 85 ] || fail "fading changed the window's size"

xdotool key Escape
wait_until_gone image 10 || fail "Esc did not close the picture window"
pass

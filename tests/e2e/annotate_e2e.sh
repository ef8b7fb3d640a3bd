#!/usr/bin/env bash
# Highlighter, mosaic, numbered markers and quick save with real X input, over
# a rectangle filled white: a stroke that crosses itself is the half blend of
# white and the pen colour throughout; mosaic blocks are the means of what was
# under them; three markers differ and after Ctrl+Z the next one takes the
# third number again; Ctrl+S twice leaves two equal PNGs of the screen's size
# in the Config.ini folder (the name shown on the board is not in them).
# Usage: annotate_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

e2e_begin "$1"
SAVES="$WORK/快速/保存"  # made by the first save
printf '[全局]\r\n截屏延时=50\r\n快速保存目录=Z:%s\r\n' "$(printf '%s' "$SAVES" | tr '/' '\\')" |
  iconv -f UTF-8 -t GBK > Config.ini
start_program 200
wait_for_toolbox
open_board

tool_key r
drag 400 300 700 420 5
tool_key f
xdotool mousemove 650 310 click 1 sleep 0.3

tool_key g
xdotool mousemove 420 340 mousedown 1
for p in "500 340" "560 340" "480 340" "480 320" "480 380" "481 381"; do
  # shellcheck disable=SC2086
  xdotool mousemove $p
  sleep 0.05
done
xdotool mouseup 1 sleep 0.3 mousemove 1000 800 sleep 0.3
copy_board before.img
tool_key k
drag 500 330 560 366 4
tool_key o
for x in 600 640 680; do xdotool mousemove "$x" 370 click 1; sleep 0.3; done
xdotool mousemove 1000 800 sleep 0.3 && copy_board three.img
xdotool key ctrl+z sleep 0.3 mousemove 620 400 click 1 sleep 0.3 mousemove 1000 800 sleep 0.3 &&
  copy_board again.img

expect_colour three.img '#8080FF' highlighted "420 340" "470 340" "480 340" "480 325" "480 378" "430 344"
expect_colour three.img '#FFFFFF' "beside the stroke" "430 348" "470 330" "490 320"
# Blocks of 12 from (500,330), each the mean of the block before (within 1).
for bx in 0 1 2 3 4; do
  for by in 0 1 2; do
    x=$((500 + 12 * bx)) y=$((330 + 12 * by))
    read -r mr mg mb < <(convert before.img -crop "12x12+$x+$y" +repage -format \
      '%[fx:int(255*mean.r+0.5)] %[fx:int(255*mean.g+0.5)] %[fx:int(255*mean.b+0.5)]\n' info:)
    for p in "$((x + 1)) $((y + 1))" "$((x + 11)) $((y + 11))"; do
      # shellcheck disable=SC2086
      c="$(pixel three.img $p)"
      for d in "$mr ${c:1:2}" "$mg ${c:3:2}" "$mb ${c:5:2}"; do
        set -- $d
        [ $(( $1 - 16#$2 )) -le 1 ] && [ $(( 16#$2 - $1 )) -le 1 ] ||
          fail "mosaic block $bx,$by at ($p) is $c, the mean before was $mr $mg $mb"
      done
    done
  done
done
crop() { convert "$1" -crop "24x24+$(($2 - 12))+$(($3 - 12))" +repage "$4"; }
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = 0 ]; }
crop three.img 600 370 m1.png; crop three.img 640 370 m2.png; crop three.img 680 370 m3.png
crop again.img 620 400 m3again.png; crop again.img 680 370 gone.png; crop three.img 620 400 white.png
! same m1.png m2.png && ! same m2.png m3.png && ! same m1.png m3.png || fail "two markers look alike"
same m3.png m3again.png || fail "the marker after the undo does not carry the third number"
same gone.png white.png || fail "the undo left the third marker"

timeout 10 xdotool windowfocus --sync "$BOARD" || fail "cannot focus the board"
xdotool key ctrl+s
wait_for 10 '[ "$(ls "$SAVES" 2>/dev/null | grep -c "^画板_.*\.png$")" = 1 ]' || fail "Ctrl+S saved no PNG"
timeout 10 xdotool windowfocus --sync "$BOARD" || fail "cannot focus the board again"
xdotool key ctrl+s
wait_for 10 '[ "$(ls "$SAVES" | grep -c "^画板_.*\.png$")" = 2 ]' || fail "a second Ctrl+S saved no second PNG"
set -- "$SAVES"/画板_*.png
[ "$(identify -format %wx%h "$1")" = "${SCREEN_W}x${SCREEN_H}" ] || fail "the PNG is not the board's size"
same "$1" "$2" || fail "the two saves differ: the notice got into the picture"
pass

#!/usr/bin/env bash
# Fill and eraser with real X input: F9 freezes the screen, R + a drag draws a
# rectangle, F + a click inside fills it (the hollow brush of a first start is
# swapped for the solid one), X + a drag across erases part of it, Ctrl+C puts
# the board on the clipboard. Checked there: the filled inside, the outline,
# and the erased band showing the frozen screen again (compared with an xwd of
# the screen taken before F9). Closing the board saves the settings: the brush
# type is hollow again, since choosing the eraser undid the fill's swap.
# Usage: fill_eraser_e2e.sh path/to/DrawBoard.exe   (inside the Wine/Xvfb session of tools/test.sh)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

e2e_begin "$1"
start_program 180
wait_for_toolbox
# Park the pointer away from where the board will be drawn on, then keep the
# screen as it is: the board freezes exactly this.
xdotool mousemove 1000 800
sleep 0.5
timeout 20 xwd -root -silent > screen.xwd || fail "cannot take the screen"
open_board

# The rectangle (400,300)-(600,400), outline in the pen colour.
tool_key r
drag 400 300 600 400 5

# Fill inside: hover (crosshair and magnifier), then a click.
tool_key f
xdotool mousemove 480 330
sleep 0.2
xdotool mousemove 500 350
sleep 0.2
xdotool click 1
sleep 0.3

# Erase a band across the middle: 30-pixel squares from x 460 to 540.
tool_key x
drag 450 350 540 350 9
# Away from the rectangle before copying: the eraser's hover square follows.
xdotool mousemove 1000 800
sleep 0.3

copy_board board.img
WHITE='#FFFFFF'  # the brush colour of a first start
PEN='#0000FF'    # the pen colour of a first start
expect_colour board.img "$WHITE" filled "420 310" "580 390" "430 350" "580 350" "500 330" "500 370"
expect_colour board.img "$PEN" outline "400 350" "599 350" "500 300" "500 399"
for p in "450 350" "470 340" "500 350" "530 360" "550 336" "500 364"; do
  set -- $p
  c="$(pixel board.img "$1" "$2")"
  s="$(pixel screen.xwd "$1" "$2")"
  [ "$c" = "$s" ] || fail "erased pixel ($1,$2) is $c, the frozen screen there is $s"
  [ "$c" != "$WHITE" ] || fail "erased pixel ($1,$2) still shows the fill"
done

# F9 closes the board, which saves the settings.
close_board
wait_for 5 '[ -s Config.ini ]' || fail "no Config.ini after the board closed"
iconv -f GBK -t UTF-8 Config.ini | tr -d '\r' | grep -qx '刷子类型=0' ||
  fail "the brush type saved is not hollow: $(iconv -f GBK -t UTF-8 Config.ini | grep 刷子类型)"
pass

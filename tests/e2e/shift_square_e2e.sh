#!/usr/bin/env bash
# Shift with real X input: F9 freezes the screen into a board, R picks the
# rectangle, and a drag with Shift held draws a square (checked on the board
# copied to the clipboard): the square's outline in the pen colour, nothing at
# the corner the pointer reached.
# Usage: shift_square_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

e2e_begin "$1"
start_program 180
wait_for_toolbox
open_board

tool_key r
# From (400,300) towards (600,380): 200 x 80, squared to the mean, 140 x 140.
xdotool keydown shift
sleep 0.2
drag 400 300 600 380 5
xdotool keyup shift
sleep 0.3

copy_board clip.img
PEN='#0000FF'  # the default pen colour, COLORREF 0xFF0000
# The square (400,300)-(540,440); the platform leaves out the right and bottom
# edges' last pixel, so its outline runs to 539 and 439.
expect_colour clip.img "$PEN" square "400 300" "539 439" "400 430" "539 320" "470 300" "470 439"
# Where the unsquared 200 x 80 box would have its right edge and bottom.
expect_not_colour clip.img "$PEN" "off-square" "599 340" "500 379" "470 370"

close_board
pass

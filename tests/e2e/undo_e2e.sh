#!/usr/bin/env bash
# Undo and redo with real X input: F9 freezes the screen into a board, Ctrl+C
# copies the frozen screen; R and a drag draw a rectangle; Ctrl+Z takes it
# back, so Ctrl+C copies exactly the frozen screen again; Ctrl+Y brings the
# rectangle back.
# Usage: undo_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

e2e_begin "$1"
start_program 180
wait_for_toolbox
open_board

copy_board frozen.img

tool_key r
drag 400 300 600 400 5

PEN='#0000FF'  # the default pen colour, COLORREF 0xFF0000
copy_board drawn.img
[ "$(pixel drawn.img 400 300)" = "$PEN" ] || fail "the rectangle was not drawn"

xdotool key ctrl+z
sleep 0.5
copy_board undone.img
n=$(differing frozen.img undone.img)
[ "$n" = "0" ] || fail "after Ctrl+Z the board differs from the frozen screen in $n pixels"

xdotool key ctrl+y
sleep 0.5
copy_board redone.img
n=$(differing drawn.img redone.img)
[ "$n" = "0" ] || fail "after Ctrl+Y the board differs from the drawn one in $n pixels"
[ "$(pixel redone.img 599 399)" = "$PEN" ] || fail "Ctrl+Y did not bring the rectangle back"

close_board
pass

#!/usr/bin/env bash
# F9 held by another program: the program still starts, says once that F9 is
# taken, keeps running, and its capture cell still freezes the screen into a
# board.
# Usage: f9_taken_e2e.sh path/to/DrawBoard.exe path/to/drawboard_hold_f9.exe
#        (inside the Wine/Xvfb session of tools/test.sh)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

[ $# -ge 2 ] || fail "needs the program and the F9 helper"
release_f9() { [ -z "$WORK" ] || rm -f "$WORK/ready.txt"; }  # the helper lets F9 go when its file is gone
on_cleanup release_f9

e2e_begin "$1"
cp "$2" hold_f9.exe || fail "cannot copy the F9 helper"
(exec timeout 200 wine hold_f9.exe 180 ready.txt >/dev/null 2>&1) &
HOLDER=$!
track "$HOLDER"
wait_for 30 '[ -f ready.txt ] || ! kill -0 "$HOLDER" 2>/dev/null' || true
[ -f ready.txt ] || fail "the helper could not take F9"

start_program 180
# The toolbox may slide out of view (the pointer passed over the notice)
# before it is seen, and a window wholly off the screen is not mapped at all:
# it is looked for in any state, and brought back below.
TOOLBOX=""
wait_for 60 'TOOLBOX="$( { timeout 5 xdotool search --name "^画板工具箱\$" 2>/dev/null || true; } | first_line)"; [ -n "$TOOLBOX" ]' ||
  fail "the toolbox did not appear"
NOTICE_TITLE='F9 已被占用'
wait_for_window "$NOTICE_TITLE" 20 >/dev/null || fail "no notice that F9 is taken"
sleep 1
[ "$(count_windows "$NOTICE_TITLE")" -eq 1 ] || fail "the notice was given more than once"
kill -0 "$PID" 2>/dev/null || fail "the program ended"

# The capture cell (the palette's first cell, under the 20-pixel title strip)
# still makes a board of the screen's size.
# The toolbox may have slid out of view already (the pointer passed over the
# notice): the pointer at the left edge along its height brings it back.
eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
if [ "$X" -ne 0 ]; then
  xdotool mousemove 1 $((Y + HEIGHT / 2))
  wait_for 5 '[ "$(toolbox_x)" = 0 ]' || true
fi
eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
[ "$X" -eq 0 ] || fail "the toolbox is not at the left edge (x=$X)"
xdotool mousemove $((X + 18)) $((Y + 20 + 18))
sleep 0.3
xdotool click 1
BOARD="$(wait_for_window 画板 20)" || fail "the capture cell made no board"
expect_full_screen "$BOARD"
[ "$(count_windows "$NOTICE_TITLE")" -le 1 ] || fail "a second notice appeared"
kill -0 "$PID" 2>/dev/null || fail "the program ended"
pass

#!/usr/bin/env bash
# F9 with real X input: the running program freezes the screen into a board
# when none is open, and closes the board again on the next F9.
# Usage: f9_e2e.sh path/to/DrawBoard.exe   (inside the Wine/Xvfb session of tools/test.sh)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

e2e_begin "$1"
start_program 180
wait_for_toolbox
[ -z "$(board_window)" ] || fail "a board was open before F9"

open_board
expect_full_screen "$BOARD"

close_board
kill -0 "$PID" 2>/dev/null || fail "the program ended instead of only closing the board"
pass

# shellcheck shell=bash
# What the end-to-end scripts share: a private copy of the program in a fresh
# folder, starting it and stopping whatever a script started, finding the
# program's windows, real X input, and the clipboard's picture.
# Sourced, not run (its name does not end in _e2e.sh, so it is no test), by
# each tests/e2e/*_e2e.sh through its own path:
#   . "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
# inside the Wine/Xvfb session of tools/test.sh (WINEPREFIX and DISPLAY set).

E2E_NAME="$(basename "$0" .sh)"
WORK=""
PID=""          # the program, once start_program has run
E2E_PIDS=()     # everything stopped on exit, the program included
E2E_HOOKS=()    # a script's own cleanup steps, run before the stopping

fail() {
  echo "$E2E_NAME: FAIL: $*" >&2
  exit 1
}
pass() { echo "$E2E_NAME: ok"; }

# ---- what a script starts, and its end ----

on_cleanup() { E2E_HOOKS+=("$1"); }  # a function run on exit, whatever happened
track() { E2E_PIDS+=("$1"); }        # a process stopped on exit

stop_process() {  # pid: asks it to end, then makes it
  [ -n "$1" ] && kill -0 "$1" 2>/dev/null || return 0
  kill "$1" 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$1" 2>/dev/null || true
}

e2e_cleanup() {
  local hook p
  for hook in "${E2E_HOOKS[@]}"; do "$hook" || true; done
  for p in "${E2E_PIDS[@]}"; do stop_process "$p"; done
  # Release anything still held down, whatever happened.
  xdotool mouseup 1 >/dev/null 2>&1 || true
  xdotool keyup ctrl shift >/dev/null 2>&1 || true
  cd /
  [ -z "$WORK" ] || rm -rf "$WORK"
}

# The program (given to the script) copied into a fresh folder, which becomes
# the current one: the program reads and writes Config.ini next to itself.
# Also reads the screen's size into SCREEN_W and SCREEN_H.
e2e_begin() {  # program
  WORK="$(mktemp -d "/tmp/$E2E_NAME.XXXXXX")"
  trap e2e_cleanup EXIT
  cp "$1" "$WORK/DrawBoard.exe" || fail "cannot copy the program"
  cd "$WORK" || fail "no work folder"
  read -r SCREEN_W SCREEN_H < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
}

start_program() {  # seconds it may run at most; sets PID
  (exec timeout "$1" wine DrawBoard.exe >/dev/null 2>&1) &
  PID=$!
  track "$PID"
}

# ---- waiting and windows ----

# Polls `condition` (a shell command) every 0.1 s for at most $1 seconds.
wait_for() {
  local limit="$1"
  shift
  local end=$((SECONDS + limit))
  while [ "$SECONDS" -le "$end" ]; do
    if eval "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}

# (Only the first line is wanted; a search that finds nothing is no error.)
first_line() { sed -n 1p; }
visible_windows() { { timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }; }
window_named() { visible_windows "$1" | first_line; }  # title: the first visible one, or nothing
count_windows() { visible_windows "$1" | grep -c . || true; }
board_window() { window_named 画板; }

wait_for_window() {  # title seconds -> prints the window's id once one is visible
  local id end=$((SECONDS + $2))
  while [ "$SECONDS" -le "$end" ]; do
    id="$(window_named "$1")"
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}
wait_until_gone() {  # title seconds
  local end=$((SECONDS + $2))
  while [ "$SECONDS" -le "$end" ]; do
    [ -z "$(window_named "$1")" ] && return 0
    sleep 0.1
  done
  return 1
}

# ---- the toolbox and the board ----

wait_for_toolbox() {  # sets TOOLBOX
  TOOLBOX="$(wait_for_window 画板工具箱 60)" || fail "the toolbox did not appear"
}
toolbox_x() { { timeout 5 xdotool getwindowgeometry --shell "$TOOLBOX" || true; } | sed -n 's/^X=//p'; }
# The window is named when it is made; it takes its place when it is shown.
# Sets TB_Y and TB_H (and X, Y, WIDTH, HEIGHT) from it there.
settle_toolbox() {
  wait_for 10 '[ "$(toolbox_x)" = 0 ]' || fail "the toolbox did not take its place at the left edge"
  eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
  TB_Y=$Y
  TB_H=$HEIGHT
}
# A toolbox docked out of view comes back when the pointer touches the left
# edge at its height (the middle of it unless a height is given).
bring_toolbox_back() {  # [y]
  local y="${1:-$((TB_Y + TB_H / 2))}"
  xdotool mousemove 1 "$y"
  sleep 0.3
  xdotool mousemove 2 $((y + 1))
  wait_for 10 '[ "$(toolbox_x)" = 0 ]' || fail "the toolbox did not come back at the left edge"
}

# F9 over the toolbox (Wine sees the hotkey only while one of its windows has
# the keyboard focus) makes a board; it gets its set-up time and the keys
# (a new window does not always get the focus). Sets BOARD.
open_board() {
  sleep 0.5
  timeout 10 xdotool windowfocus --sync "$TOOLBOX" || fail "cannot focus the toolbox"
  xdotool key F9
  BOARD="$(wait_for_window 画板 20)" || fail "F9 made no board"
  sleep 1
  timeout 10 xdotool windowfocus --sync "$BOARD" || fail "cannot focus the board"
}
close_board() {  # F9 again, on the board
  timeout 10 xdotool windowfocus --sync "$BOARD" || true
  xdotool key F9
  wait_until_gone 画板 20 || fail "F9 did not close the board"
}
expect_full_screen() {  # window: it covers the whole screen
  eval "$(xdotool getwindowgeometry --shell "$1")"
  [ "$WIDTH" = "$SCREEN_W" ] && [ "$HEIGHT" = "$SCREEN_H" ] ||
    fail "the board is ${WIDTH}x${HEIGHT}, the screen ${SCREEN_W}x${SCREEN_H}"
  [ "$X" = 0 ] && [ "$Y" = 0 ] || fail "the board is at $X,$Y instead of the screen's corner"
}

# The close zone, the rightmost 16 pixels of the title strip of the toolbox
# at x y, ends the program; it has to end cleanly.
quit_by_close_zone() {  # x y
  xdotool mousemove $(($1 + 40)) $(($2 + 10))
  sleep 0.2
  xdotool mousemove $(($1 + 56)) $(($2 + 10))
  sleep 0.2
  xdotool click 1
  wait_for 15 '! kill -0 "$PID" 2>/dev/null' || fail "the program did not end from the close zone"
  local status=0
  wait "$PID" || status=$?
  [ "$status" -eq 0 ] || fail "the program ended with status $status"
}

# ---- input ----

drag() {  # x1 y1 x2 y2 steps: a left-button drag in even steps
  local x1=$1 y1=$2 x2=$3 y2=$4 n=$5 i
  xdotool mousemove "$x1" "$y1"
  sleep 0.2
  xdotool mousedown 1
  for i in $(seq 1 "$n"); do
    xdotool mousemove $((x1 + (x2 - x1) * i / n)) $((y1 + (y2 - y1) * i / n))
    sleep 0.05
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.5
}
tool_key() { xdotool key "$1"; sleep 0.3; }  # a tool's letter on the board

# ---- pictures and the clipboard ----

# Colour (#RRGGBB) of a picture file at x y.
pixel() { convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | awk 'NR == 2 { print $3 }'; }
expect_colour() {  # picture colour what "x y"...: each point has the colour
  local picture=$1 colour=$2 what=$3 p c
  shift 3
  for p in "$@"; do
    # shellcheck disable=SC2086  # "x y" splits into its two numbers
    c="$(pixel "$picture" $p)"
    [ "$c" = "$colour" ] || fail "$what pixel ($p) is $c, not $colour"
  done
}
expect_not_colour() {  # picture colour what "x y"...: no point has the colour
  local picture=$1 colour=$2 what=$3 p
  shift 3
  for p in "$@"; do
    # shellcheck disable=SC2086
    [ "$(pixel "$picture" $p)" != "$colour" ] || fail "$what pixel ($p) has the colour $colour"
  done
}

targets() { timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null || true; }
# (grep reads everything: a pipe cut short would fail under pipefail.)
has_image_target() { targets | grep '^image/' >/dev/null; }
clipboard_picture() {  # file: the clipboard's picture, PNG or BMP where offered
  local target
  target=$(targets | { grep -E '^image/(png|bmp)$' || true; } | first_line)
  [ -n "$target" ] || target=$(targets | { grep '^image/' || true; } | first_line)
  [ -n "$target" ] || fail "the clipboard holds no picture"
  timeout 20 xclip -selection clipboard -t "$target" -o > "$1" || fail "cannot read the clipboard ($target)"
}
copy_board() {  # file: Ctrl+C on the board, then the clipboard's picture into it
  local before=0
  ! has_image_target || before=1
  xdotool key ctrl+c
  wait_for 10 has_image_target || fail "the clipboard got no picture"
  [ "$before" = 0 ] || sleep 1  # the new picture replaces the one there before
  clipboard_picture "$1"
}

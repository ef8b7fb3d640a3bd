#!/usr/bin/env bash
# F9 held by another program: the program still starts, says once that F9 is
# taken, keeps running, and its capture cell still freezes the screen into a
# board.
# Usage: f9_taken_e2e.sh path/to/DrawBoard.exe path/to/drawboard_hold_f9.exe
#        (inside the Wine/Xvfb session of tools/test.sh)
set -euo pipefail

[ $# -ge 2 ] || { echo "f9_taken_e2e: needs the program and the F9 helper" >&2; exit 1; }
WORK="$(mktemp -d /tmp/f9_taken_e2e.XXXXXX)"
cp "$1" "$WORK/DrawBoard.exe"
cp "$2" "$WORK/hold_f9.exe"
PID=""
HOLDER=""

stop() {  # pid
  [ -n "$1" ] && kill -0 "$1" 2>/dev/null || return 0
  kill "$1" 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$1" 2>/dev/null || true
}
cleanup() {
  rm -f "$WORK/ready.txt"  # the helper lets F9 go when its file is gone
  stop "$PID"
  stop "$HOLDER"
  xdotool mouseup 1 >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "f9_taken_e2e: $*" >&2; exit 1; }

visible_windows() { { timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }; }
count_windows() { visible_windows "$1" | grep -c . || true; }
wait_for_window() {  # title seconds -> prints the window id
  local ids
  for _ in $(seq 1 $(($2 * 10))); do
    ids="$(visible_windows "$1")"
    if [ -n "$ids" ]; then echo "$ids" | head -1; return 0; fi
    sleep 0.1
  done
  return 1
}

cd "$WORK"
(exec timeout 200 wine hold_f9.exe 180 ready.txt >/dev/null 2>&1) &
HOLDER=$!
for _ in $(seq 1 300); do [ -f ready.txt ] && break; kill -0 "$HOLDER" 2>/dev/null || break; sleep 0.1; done
[ -f ready.txt ] || fail "the helper could not take F9"

(exec timeout 180 wine DrawBoard.exe >/dev/null 2>&1) &
PID=$!

TOOLBOX="$(wait_for_window '画板工具箱' 60)" || fail "the toolbox did not appear"
NOTICE_TITLE='F9 已被占用'
wait_for_window "$NOTICE_TITLE" 20 >/dev/null || fail "no notice that F9 is taken"
sleep 1
[ "$(count_windows "$NOTICE_TITLE")" -eq 1 ] || fail "the notice was given more than once"
kill -0 "$PID" 2>/dev/null || fail "the program ended"

# The capture cell (the palette's first cell, under the 20-pixel title strip)
# still makes a board of the screen's size.
toolbox_x() { { timeout 5 xdotool getwindowgeometry --shell "$TOOLBOX" || true; } | sed -n 's/^X=//p'; }
# The toolbox may have slid out of view already (the pointer passed over the
# notice): the pointer at the left edge along its height brings it back.
eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
if [ "$X" -ne 0 ]; then
  xdotool mousemove 1 $((Y + HEIGHT / 2))
  for _ in $(seq 1 50); do [ "$(toolbox_x)" = 0 ] && break; sleep 0.1; done
fi
eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
[ "$X" -eq 0 ] || fail "the toolbox is not at the left edge (x=$X)"
xdotool mousemove $((X + 18)) $((Y + 20 + 18))
sleep 0.3
xdotool click 1
BOARD="$(wait_for_window '画板' 20)" || fail "the capture cell made no board"
read -r SW SH < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
eval "$(xdotool getwindowgeometry --shell "$BOARD")"
[ "$WIDTH" = "$SW" ] && [ "$HEIGHT" = "$SH" ] || fail "board is ${WIDTH}x${HEIGHT}, screen ${SW}x${SH}"
[ "$(count_windows "$NOTICE_TITLE")" -le 1 ] || fail "a second notice appeared"
kill -0 "$PID" 2>/dev/null || fail "the program ended"
echo "f9_taken_e2e: ok"

#!/usr/bin/env bash
# A scaled screen: with the system DPI at 144 (150 %) the program's toolbox is
# one and a half times its 96-DPI size, its cells are where the scaled layout
# puts them (the selection frame is drawn there, a click there runs that
# cell), and a board still has the screen's own pixel size.
# The DPI is set in the session's prefix only while the program starts (a
# process reads it when it starts) and put back at once, so every other test
# keeps 96.
# Usage: dpi_e2e.sh path/to/DrawBoard.exe   (inside the Wine/Xvfb session of tools/test.sh)
set -euo pipefail

WORK="$(mktemp -d /tmp/dpi_e2e.XXXXXX)"
cp "$1" "$WORK/DrawBoard.exe"
PID=""
KEY='HKCU\Control Panel\Desktop'
OLD_DPI=""
DPI_SET=0

restore_dpi() {
  [ "$DPI_SET" = 1 ] || return 0
  if [ -n "$OLD_DPI" ]; then
    timeout 30 wine reg add "$KEY" /v LogPixels /t REG_DWORD /d "$OLD_DPI" /f >/dev/null 2>&1 || true
  else
    timeout 30 wine reg delete "$KEY" /v LogPixels /f >/dev/null 2>&1 || true
  fi
  DPI_SET=0
}
cleanup() {
  restore_dpi
  if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then
    kill "$PID" 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$PID" 2>/dev/null || true
  fi
  xdotool mouseup 1 >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "dpi_e2e: $*" >&2; exit 1; }

visible_windows() { { timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }; }
wait_for_window() {  # title seconds -> prints the window id
  local ids
  for _ in $(seq 1 $(($2 * 10))); do
    ids="$(visible_windows "$1")"
    if [ -n "$ids" ]; then echo "$ids" | head -1; return 0; fi
    sleep 0.1
  done
  return 1
}

# The value there now (a hexadecimal REG_DWORD), to be put back.
OLD_DPI="$(timeout 30 wine reg query "$KEY" /v LogPixels 2>/dev/null | tr -d '\r' |
           awk '$1 == "LogPixels" { print $3 }' || true)"
[ -z "$OLD_DPI" ] || OLD_DPI=$((OLD_DPI))
DPI_SET=1
timeout 30 wine reg add "$KEY" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
  fail "cannot set the DPI"

cd "$WORK"
(exec timeout 180 wine DrawBoard.exe >/dev/null 2>&1) &
PID=$!
TOOLBOX="$(wait_for_window '画板工具箱' 60)" || fail "the toolbox did not appear"
restore_dpi

toolbox_x() { { timeout 5 xdotool getwindowgeometry --shell "$TOOLBOX" || true; } | sed -n 's/^X=//p'; }
for _ in $(seq 1 50); do [ "$(toolbox_x)" = 0 ] && break; sleep 0.1; done
eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
# 64 x 473 at 96 DPI; 473 * 1.5 = 709.5 rounds to 710.
[ "$WIDTH" -eq 96 ] && [ "$HEIGHT" -eq 710 ] || fail "the toolbox is ${WIDTH}x${HEIGHT}, not 96x710"
[ "$X" -eq 0 ] || fail "the toolbox is not at the left edge (x=$X)"
TB_Y=$Y

# The pen cell is selected: its frame (0x8050FF) is on the scaled cell
# (8, 48)-(47, 87) of the palette, which starts 30 pixels down.
xdotool mousemove 40 $((TB_Y + 300))  # over the toolbox: it stays in view
sleep 0.5
timeout 20 xwd -silent -id "$TOOLBOX" > toolbox.xwd || fail "cannot take a picture of the toolbox"
pixel() { convert xwd:toolbox.xwd -crop "1x1+$1+$2" +repage -depth 8 txt:- | awk 'NR == 2 { print $3 }'; }
FRAME='#FF5080'
[ "$(pixel 8 $((30 + 67)))" = "$FRAME" ] || fail "no selection frame on the scaled pen cell"
[ "$(pixel 47 $((30 + 67)))" = "$FRAME" ] || fail "the scaled pen cell's frame has no right side"
[ "$(pixel 5 $((20 + 45)))" != "$FRAME" ] || fail "a frame where the 96-DPI pen cell would be"

# The middle of the scaled capture cell (27, 27) is the pen cell of the
# 96-DPI layout: a board appears only when the cells are scaled.
xdotool mousemove 27 $((TB_Y + 30 + 27))
sleep 0.3
xdotool click 1
BOARD="$(wait_for_window '画板' 20)" || fail "the capture cell made no board"
read -r SW SH < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
eval "$(xdotool getwindowgeometry --shell "$BOARD")"
[ "$WIDTH" = "$SW" ] && [ "$HEIGHT" = "$SH" ] || fail "board is ${WIDTH}x${HEIGHT}, screen ${SW}x${SH}"
[ "$X" = 0 ] && [ "$Y" = 0 ] || fail "board at $X,$Y instead of the screen's corner"
echo "dpi_e2e: ok"

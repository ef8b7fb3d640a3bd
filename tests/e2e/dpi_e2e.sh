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
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

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
on_cleanup restore_dpi

e2e_begin "$1"
# The value there now (a hexadecimal REG_DWORD), to be put back.
OLD_DPI="$(timeout 30 wine reg query "$KEY" /v LogPixels 2>/dev/null | tr -d '\r' |
           awk '$1 == "LogPixels" { print $3 }' || true)"
[ -z "$OLD_DPI" ] || OLD_DPI=$((OLD_DPI))
DPI_SET=1
timeout 30 wine reg add "$KEY" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
  fail "cannot set the DPI"

start_program 180
wait_for_toolbox
restore_dpi
settle_toolbox
# 64 x 473 at 96 DPI; 473 * 1.5 = 709.5 rounds to 710.
[ "$WIDTH" -eq 96 ] && [ "$HEIGHT" -eq 710 ] || fail "the toolbox is ${WIDTH}x${HEIGHT}, not 96x710"

# The pen cell is selected: its frame (0x8050FF) is on the scaled cell
# (8, 48)-(47, 87) of the palette, which starts 30 pixels down.
xdotool mousemove 40 $((TB_Y + 300))  # over the toolbox: it stays in view
sleep 0.5
timeout 20 xwd -silent -id "$TOOLBOX" > toolbox.xwd || fail "cannot take a picture of the toolbox"
FRAME='#FF5080'
expect_colour toolbox.xwd "$FRAME" "scaled pen cell frame" "8 97" "47 97"
expect_not_colour toolbox.xwd "$FRAME" "96-DPI pen cell frame" "5 65"

# The middle of the scaled capture cell (27, 27) is the pen cell of the
# 96-DPI layout: a board appears only when the cells are scaled.
xdotool mousemove 27 $((TB_Y + 30 + 27))
sleep 0.3
xdotool click 1
BOARD="$(wait_for_window 画板 20)" || fail "the capture cell made no board"
expect_full_screen "$BOARD"
pass

#!/usr/bin/env bash
# Saving the board with real X input: F9 freezes the screen, R and a drag draw
# a rectangle, the toolbox's save cell opens the save dialog, an absolute path
# with Chinese characters is typed and Enter pressed. The PNG file must exist,
# have the screen's size and show the rectangle in the pen colour, with no
# temporary file left beside it.
# Usage: save_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

e2e_begin "$1"
mkdir "$WORK/保存的图片" || fail "cannot make the target folder"
TARGET="$WORK/保存的图片/画板截图.png"
# The same file as the program sees it: Wine's Z: drive is the root.
TYPED="Z:$(printf '%s' "$TARGET" | tr '/' '\\')"

# Whatever is still open at the end, the dialog included, goes with the program.
start_program 200
wait_for_toolbox
settle_toolbox
open_board

# R and a drag: a rectangle from (400,300) to (600,400).
tool_key r
drag 400 300 600 400 5

bring_toolbox_back
# The save cell: palette cell 22 (column 2, row 11 of 26-pixel cells on a
# 27-pixel pitch from (5,5)); the palette starts 20 pixels down the toolbox.
xdotool mousemove 45 $((TB_Y + 20 + 5 + 10 * 27 + 13))
sleep 0.3
xdotool click 1
DIALOG="$(wait_for_window 保存到文件 20)" || fail "the save cell opened no save dialog"
timeout 10 xdotool windowfocus --sync "$DIALOG" || fail "cannot focus the save dialog"
sleep 0.5
# The dialog opens with an empty name box that has the focus. xdotool types
# each Chinese character through a spare keycode it maps for that character
# and maps back after the key's release, waiting the delay in between: Wine
# needs that time to read the new map, or it drops the character. (Mapping
# the characters before the program starts drops them more often.)
xdotool type --delay 350 "$TYPED"
sleep 0.3
xdotool key Return
# (A failed save would show its message box under the same title.)
wait_until_gone 保存到文件 20 || fail "the save dialog (or a failure message) is still open after Enter"
wait_for 20 '[ -s "$TARGET" ]' || fail "no file at $TARGET ($(ls "$WORK/保存的图片"))"
# Give the atomic replace its moment, then nothing but the picture is there.
sleep 0.5
[ "$(ls -A "$WORK/保存的图片")" = "画板截图.png" ] ||
  fail "the folder holds: $(ls -A "$WORK/保存的图片")"

[ "$(head -c 4 "$TARGET" | od -An -tx1 | tr -d ' ')" = "89504e47" ] || fail "the file is not a PNG"
SIZE=$(identify -format '%wx%h' "$TARGET" 2>/dev/null || true)
[ "$SIZE" = "${SCREEN_W}x${SCREEN_H}" ] || fail "the saved picture is '$SIZE', not the screen's size"
PEN='#0000FF'  # the default pen colour, COLORREF 0xFF0000
expect_colour "$TARGET" "$PEN" outline "400 300" "599 399" "400 350" "599 350" "500 300" "500 399"
expect_not_colour "$TARGET" "$PEN" "off-outline" "500 350" "398 350" "500 297" "602 350"

kill -0 "$PID" 2>/dev/null || fail "the program ended"
pass

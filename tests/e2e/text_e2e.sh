#!/usr/bin/env bash
# Typing on the board with real X input: F9 freezes the screen, T arms the
# text tool, a click places the caret, "中文ab" is typed through the keyboard
# and Ctrl+C copies the board. The clipboard picture must hold glyphs in the
# text colour starting at the click point, the two Chinese characters as
# full-width glyphs (not question marks).
# Usage: text_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

e2e_begin "$1"
# Red text (COLORREF 0x0000FF), no background, large enough that the strokes
# have solid cores to count.
printf '[文字]\r\n文字颜色=255\r\n背景色=-16777216\r\n字体名称=宋体\r\n字体大小=36\r\n' |
  iconv -f UTF-8 -t GBK > Config.ini || fail "cannot write Config.ini"

# The two Chinese characters get keys of their own once, before anything is
# typed: xdotool's remapping of a spare key for each character can reach Wine
# before Wine has read the new keyboard map (the character is then lost).
read -r K1 K2 < <(xmodmap -pke | awk 'NF <= 3 && $2 > 8 { print $2 }' | head -2 | xargs)
[ -n "${K2:-}" ] || fail "no spare keycodes for the Chinese characters"
unmap_keys() { xmodmap -e "keycode $K1 =" -e "keycode $K2 =" 2>/dev/null || true; }
on_cleanup unmap_keys
xmodmap -e "keycode $K1 = U4E2D" -e "keycode $K2 = U6587" || fail "cannot map the Chinese characters"

start_program 120
wait_for_toolbox
open_board

X0=300
Y0=300
tool_key t
xdotool mousemove $X0 $Y0
sleep 0.2
xdotool click 1
sleep 0.3
xdotool key --delay 80 U4E2D U6587 a b  # 中文ab
sleep 0.5

copy_board clip.img

# Every clearly red pixel of the area around the click point, as "x y".
AREA_X=$((X0 - 20))
AREA_Y=$((Y0 - 20))
convert clip.img -crop "300x100+${AREA_X}+${AREA_Y}" +repage -depth 8 txt:- 2>/dev/null |
  awk -v ox=$AREA_X -v oy=$AREA_Y -F'[ ,:()]+' 'NR > 1 {
      if ($3 >= 200 && $4 <= 60 && $5 <= 60) print $1 + ox, $2 + oy }' > red.txt
COUNT=$(wc -l < red.txt | tr -d ' ')
[ "$COUNT" -ge 200 ] || fail "only $COUNT pixels in the text colour near the click point"

read -r MINX MAXX MINY < <(awk 'NR == 1 { a = $1; b = $1; c = $2 }
  { if ($1 < a) a = $1; if ($1 > b) b = $1; if ($2 < c) c = $2 } END { print a, b, c }' red.txt)
[ "$MINX" -ge "$X0" ] && [ "$MINY" -ge "$Y0" ] ||
  fail "text pixels start at ($MINX,$MINY), before the click point ($X0,$Y0)"
[ "$MINX" -le $((X0 + 10)) ] && [ "$MINY" -le $((Y0 + 20)) ] ||
  fail "the text starts at ($MINX,$MINY), far from the click point"
# Two full-width glyphs and two letters: far wider than "??ab".
[ "$MAXX" -ge $((X0 + 120)) ] || fail "the typed text ends at x=$MAXX: the Chinese characters did not arrive"
# 中 has a long vertical stroke in its first cell; no question mark has.
TALL=$(awk -v x0=$X0 '$1 < x0 + 48 { n[$1]++ } END { m = 0; for (k in n) if (n[k] > m) m = n[k]; print m }' red.txt)
[ "$TALL" -ge 25 ] || fail "no tall stroke in the first glyph (longest column $TALL pixels)"

pass

#!/usr/bin/env bash
# A Config.ini full of hostile values: every key the program writes on a first
# start is given, in rotation, a negative number, 0, the int limits, text,
# nothing, 10,000 characters or bytes that are not GBK (the pen width and
# colour get the int max, the capture delay 10,000 nines). The program still
# starts, F9 over the toolbox makes a board within the longest capture delay
# and its set-up time, the pen, rectangle, ellipse and line draw, Ctrl+C puts
# a picture of the screen's size on the clipboard, F9 closes the board, the
# toolbox's close zone ends the program cleanly, and the Config.ini it wrote
# back holds only values within their bounds.
# Usage: hostile_config_e2e.sh path/to/DrawBoard.exe   (WINEPREFIX and DISPLAY set)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

gbk() { printf '%s' "$1" | iconv -f UTF-8 -t GBK; }
utf8() { iconv -c -f GBK -t UTF-8 "$1" | tr -d '\r'; }

e2e_begin "$1"
# The keys, as a first start writes them (before the toolbox is made).
start_program 60
wait_for_toolbox
stop_process "$PID"
[ -s Config.ini ] || fail "a first start wrote no Config.ini"
utf8 Config.ini | sed -n 's/=.*//p' > first_keys.txt

# The bytes of the names stay as they are (C locale); values from the
# environment, so that no byte of them is taken as an escape.
H0=-7 H1=0 H2=2147483647 H3=-2147483648 H4=lots H5='' \
H6="$(head -c 10000 /dev/zero | tr '\0' 9)" H7=$'\x81\x20\xFF\xFE\x80\xA1' \
PEN_WIDTH="$(gbk 画笔粗细)" PEN_COLOR="$(gbk 画笔颜色)" DELAY="$(gbk 截屏延时)" \
LC_ALL=C awk '
  { sub(/\r$/, "") }
  /^\[/ { printf "%s\r\n", $0; next }
  index($0, "=") > 0 {
    key = substr($0, 1, index($0, "=") - 1)
    value = ENVIRON["H" (n++ + 3) % 8]
    if (key == ENVIRON["PEN_WIDTH"] || key == ENVIRON["PEN_COLOR"]) value = ENVIRON["H2"]
    if (key == ENVIRON["DELAY"]) value = ENVIRON["H6"]
    printf "%s=%s\r\n", key, value
  }' Config.ini > hostile.ini
mv hostile.ini Config.ini
[ "$(wc -c < Config.ini)" -gt 30000 ] || fail "the hostile Config.ini was not made ($(wc -c < Config.ini) bytes)"

start_program 120
wait_for_toolbox
settle_toolbox
# Park the pointer away from where the board is drawn on; the screen as it
# is now is what the board freezes.
xdotool mousemove 1500 900
sleep 0.5
timeout 20 xwd -root -silent > screen.xwd || fail "cannot take the screen"
F9_AT=$SECONDS
open_board
# At most the longest capture delay (5 s), the set-up, and the sleep above.
[ $((SECONDS - F9_AT)) -le 12 ] || fail "the board took $((SECONDS - F9_AT)) s to open"
expect_full_screen "$BOARD"

# Four tools, each by its letter and a drag in an area of its own.
AREAS=()
for t in "p 300 250 500 350" "r 600 250 800 400" "e 900 250 1100 400" "l 300 600 600 800"; do
  set -- $t
  tool_key "$1"
  drag "$2" "$3" "$4" "$5" 5
  AREAS+=("$1 $(($4 - $2 + 60))x$(($5 - $3 + 60))+$(($2 - 30))+$(($3 - 30))")
done
xdotool mousemove 1500 900
sleep 0.3

copy_board board.img
SIZE=$(identify -format '%wx%h' board.img 2>/dev/null || true)
[ "$SIZE" = "${SCREEN_W}x${SCREEN_H}" ] || fail "the clipboard picture is '$SIZE', not the screen's size"
for a in "${AREAS[@]}"; do
  set -- $a
  convert board.img -crop "$2" +repage -alpha off drawn.ppm
  convert xwd:screen.xwd -crop "$2" +repage -alpha off frozen.ppm
  n=$(compare -metric AE drawn.ppm frozen.ppm null: 2>&1 || true)
  [ "${n%%.*}" -ge 300 ] 2>/dev/null || fail "the tool '$1' changed only '$n' pixels of $2"
done

close_board
bring_toolbox_back
rm -f Config.ini
quit_by_close_zone 0 "$TB_Y"

# What it wrote back: the same keys, every value a number within its bounds
# but the face name and the quick-save folder (texts), and nothing of the
# 10,000 characters.
[ -s Config.ini ] || fail "no Config.ini was written back"
utf8 Config.ini > written.txt
[ "$(sed -n 's/=.*//p' written.txt)" = "$(cat first_keys.txt)" ] || fail "the keys written back differ"
value_of() { sed -n "s/^$1=//p" written.txt | first_line; }
[ "$(value_of 画笔粗细)" = 50 ] || fail "pen width written back: $(value_of 画笔粗细)"
[ "$(value_of 画笔颜色)" = 16777215 ] || fail "pen colour written back: $(value_of 画笔颜色)"  # RGB only
[ "$(value_of 截屏延时)" = 5000 ] || fail "capture delay written back: $(value_of 截屏延时)"
BAD=$(grep = written.txt | grep -vE '^(字体名称|快速保存目录)=' | grep -vE '^[^=]+=-?[0-9]{1,10}$' || true)
[ -z "$BAD" ] || fail "values written back that are no bounded number: $BAD"
[ "$(wc -L < written.txt)" -le 40 ] || fail "a line written back is $(wc -L < written.txt) characters long"
pass

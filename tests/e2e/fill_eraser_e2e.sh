#!/usr/bin/env bash
# Fill and eraser with real X input: F9 freezes the screen, R + a drag draws a
# rectangle, F + a click inside fills it (the hollow brush of a first start is
# swapped for the solid one), X + a drag across erases part of it, Ctrl+C puts
# the board on the clipboard. Checked there: the filled inside, the outline,
# and the erased band showing the frozen screen again (compared with an xwd of
# the screen taken before F9). Closing the board saves the settings: the brush
# type is hollow again, since choosing the eraser undid the fill's swap.
# Usage: fill_eraser_e2e.sh path/to/DrawBoard.exe   (inside the Wine/Xvfb session of tools/test.sh)
set -euo pipefail

EXE="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
WORK="$(mktemp -d)"
# A private copy: the program writes Config.ini next to itself.
cp "$EXE" "$WORK/DrawBoard.exe"
PID=""

cleanup() {
  if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then
    kill "$PID" 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$PID" 2>/dev/null || true
  fi
  xdotool mouseup 1 >/dev/null 2>&1 || true
  xdotool keyup ctrl >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "fill_eraser_e2e: $*" >&2; exit 1; }

visible_windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }

wait_for_window() {  # title seconds -> prints the window id
  local title="$1" seconds="$2" ids
  for _ in $(seq 1 $((seconds * 10))); do
    ids="$(visible_windows "$title")"
    if [ -n "$ids" ]; then echo "$ids" | head -1; return 0; fi
    sleep 0.1
  done
  return 1
}

wait_until_gone() {  # title seconds
  for _ in $(seq 1 $(($2 * 10))); do
    [ -z "$(visible_windows "$1")" ] && return 0
    sleep 0.1
  done
  return 1
}

# Pixel colour (#RRGGBB) of a picture file at x y.
pixel() { convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | awk 'NR == 2 { print $3 }'; }

drag() {  # x1 y1 x2 y2 steps
  local x1=$1 y1=$2 x2=$3 y2=$4 n=$5 i
  xdotool mousemove "$x1" "$y1"
  sleep 0.2
  xdotool mousedown 1
  for i in $(seq 1 "$n"); do
    xdotool mousemove $((x1 + (x2 - x1) * i / n)) $((y1 + (y2 - y1) * i / n))
    sleep 0.05
  done
  sleep 0.1
  xdotool mouseup 1
  sleep 0.3
}

(cd "$WORK" && exec timeout 180 wine DrawBoard.exe >/dev/null 2>&1) &
PID=$!

MAIN="$(wait_for_window '画板工具箱' 60)" || fail "the program's main window did not appear"
# Park the pointer away from where the board will be drawn on, then keep the
# screen as it is: the board freezes exactly this.
xdotool mousemove 1000 800
sleep 0.5
timeout 20 xwd -root -silent > "$WORK/screen.xwd" || fail "cannot take the screen"

timeout 10 xdotool windowfocus --sync "$MAIN" || fail "could not focus the main window"
xdotool key F9
BOARD="$(wait_for_window '画板' 20)" || fail "F9 did not open a board"
sleep 1
timeout 10 xdotool windowfocus --sync "$BOARD" || fail "could not focus the board"

# The rectangle (400,300)-(600,400), outline in the pen colour.
xdotool key r
sleep 0.3
drag 400 300 600 400 5

# Fill inside: hover (crosshair and magnifier), then a click.
xdotool key f
sleep 0.3
xdotool mousemove 480 330
sleep 0.2
xdotool mousemove 500 350
sleep 0.2
xdotool click 1
sleep 0.3

# Erase a band across the middle: 30-pixel squares from x 460 to 540.
xdotool key x
sleep 0.3
drag 450 350 540 350 9
# Away from the rectangle before copying: the eraser's hover square follows.
xdotool mousemove 1000 800
sleep 0.3

xdotool key ctrl+c
targets() { timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null || true; }
for _ in $(seq 1 100); do targets | grep -q '^image/' && break; sleep 0.1; done
TARGET="$(targets | grep -m1 -E '^image/(png|bmp)$' || true)"
[ -n "$TARGET" ] || fail "the clipboard got no picture"
timeout 20 xclip -selection clipboard -t "$TARGET" -o > "$WORK/board.img" || fail "cannot read the clipboard"

BOARD_PIC="$WORK/board.img"
SCREEN_PIC="$WORK/screen.xwd"
WHITE='#FFFFFF'  # the brush colour of a first start
PEN='#0000FF'    # the pen colour of a first start

for p in "420 310" "580 390" "430 350" "580 350" "500 330" "500 370"; do
  set -- $p
  c="$(pixel "$BOARD_PIC" "$1" "$2")"
  [ "$c" = "$WHITE" ] || fail "filled pixel ($1,$2) is $c, not the brush colour $WHITE"
done
for p in "400 350" "599 350" "500 300" "500 399"; do
  set -- $p
  c="$(pixel "$BOARD_PIC" "$1" "$2")"
  [ "$c" = "$PEN" ] || fail "outline pixel ($1,$2) is $c, not the pen colour $PEN"
done
for p in "450 350" "470 340" "500 350" "530 360" "550 336" "500 364"; do
  set -- $p
  c="$(pixel "$BOARD_PIC" "$1" "$2")"
  s="$(pixel "$SCREEN_PIC" "$1" "$2")"
  [ "$c" = "$s" ] || fail "erased pixel ($1,$2) is $c, the frozen screen there is $s"
  [ "$c" != "$WHITE" ] || fail "erased pixel ($1,$2) still shows the fill"
done

# F9 closes the board, which saves the settings.
timeout 10 xdotool windowfocus --sync "$BOARD" || true
xdotool key F9
wait_until_gone '画板' 20 || fail "F9 did not close the board"
for _ in $(seq 1 50); do [ -s "$WORK/Config.ini" ] && break; sleep 0.1; done
iconv -f GBK -t UTF-8 "$WORK/Config.ini" | tr -d '\r' | grep -qx '刷子类型=0' ||
  fail "the brush type saved is not hollow: $(iconv -f GBK -t UTF-8 "$WORK/Config.ini" | grep 刷子类型)"

echo "fill_eraser_e2e: ok"

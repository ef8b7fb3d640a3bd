#!/usr/bin/env bash
# Times F9 from outside, as a user sees it: the program runs on a private
# Xvfb display of the given size with no capture delay; the script presses F9
# over the toolbox and polls the X server until the board's window is
# viewable, then closes the board with F9 and does it again. Prints each
# run and the median, in milliseconds (the polling adds up to one xdotool
# call, a few milliseconds).
#   tools/f9_latency.sh [program] [runs] [WIDTHxHEIGHT]
# Default: build/DrawBoard.exe, 11 runs, 3840x2160. Every step has a time limit.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
PROGRAM="$(cd "$(dirname "${1:-$ROOT/build/DrawBoard.exe}")" && pwd)/$(basename "${1:-DrawBoard.exe}")"
RUNS="${2:-11}"
SIZE="${3:-3840x2160}"
[ -f "$PROGRAM" ] || { echo "no program: $PROGRAM" >&2; exit 2; }

SESSION="$(mktemp -d /tmp/f9_latency.XXXXXX)"
XVFB_PID=""
APP_PID=""
. "$ROOT/tools/winenv.sh"
finish() {
  [ -z "$APP_PID" ] || kill "$APP_PID" 2>/dev/null || true
  winenv_stop || true
  [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$SESSION"
}
trap finish EXIT

Xvfb -displayfd 9 -screen 0 "${SIZE}x24" -nolisten tcp 9>"$SESSION/display" >/dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 100); do
  number="$(tr -dc '0-9' <"$SESSION/display" 2>/dev/null || true)"
  [ -n "$number" ] && break
  sleep 0.1
done
[ -n "${number:-}" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
winenv_start "$ROOT/build/f9-latency-session" use-display

mkdir -p "$SESSION/app"
cp "$PROGRAM" "$SESSION/app/DrawBoard.exe"
# No capture delay: what is timed is the program's own hand-over.
printf '[全局]\r\n截屏延时=0\r\n' | iconv -f UTF-8 -t GBK >"$SESSION/app/Config.ini"
cd "$SESSION/app"
(exec timeout 600 wine DrawBoard.exe >/dev/null 2>&1) &
APP_PID=$!

visible() { timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sed -n 1p || true; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
wait_until() {  # seconds command...: polls as fast as the command runs
  local end=$((SECONDS + $1))
  shift
  while [ "$SECONDS" -le "$end" ]; do "$@" && return 0; done
  return 1
}
board_up() { [ -n "$(visible 画板)" ]; }
board_gone() { [ -z "$(visible 画板)" ]; }
toolbox_up() { TOOLBOX="$(visible 画板工具箱)"; [ -n "$TOOLBOX" ]; }

toolbox_x() { timeout 5 xdotool getwindowgeometry --shell "$TOOLBOX" | sed -n 's/^X=//p' || true; }
toolbox_home() { [ "$(toolbox_x)" = 0 ]; }
wait_until 60 toolbox_up || { echo "the toolbox did not appear" >&2; exit 1; }
wait_until 10 toolbox_home || { echo "the toolbox did not take its place" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$TOOLBOX")"
TB_MIDDLE=$((Y + HEIGHT / 2))
sleep 2
times=()
for run in $(seq 1 "$RUNS"); do
  # A toolbox docked out of view comes back when the pointer touches the
  # left edge at its height.
  xdotool mousemove 1 "$TB_MIDDLE"
  sleep 0.3
  xdotool mousemove 2 $((TB_MIDDLE + 1))
  wait_until 10 toolbox_home || { echo "the toolbox did not come back" >&2; exit 1; }
  timeout 10 xdotool windowfocus --sync "$TOOLBOX" || { echo "cannot focus the toolbox" >&2; exit 1; }
  sleep 0.5
  t0=$(now_ms)
  xdotool key F9
  wait_until 20 board_up || { echo "run $run: F9 made no board" >&2; exit 1; }
  t=$(($(now_ms) - t0))
  times+=("$t")
  echo "run $run: $t ms"
  sleep 1
  board="$(visible 画板)"
  timeout 10 xdotool windowfocus --sync "$board" || true
  xdotool key F9
  wait_until 20 board_gone || { echo "run $run: the board did not close" >&2; exit 1; }
  sleep 0.5
done
median="$(printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')"
echo "F9 to board viewable at $SIZE, median of $RUNS: $median ms"

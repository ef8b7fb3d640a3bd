# Sourced, not run. An X server with several monitors of any size and place,
# for trying and testing the program on a multi-monitor desktop: Xorg with the
# dummy video driver, one RandR output per monitor with a mode of exactly the
# size asked for (Xvfb cannot show Wine more than one monitor).
#   monitors_start WxH+X+Y [WxH+X+Y ...]   X root coordinates, the first is the
#                                         primary; exports DISPLAY; false (and
#                                         nothing left running) when it cannot start
#   monitors_stop                         stops the server monitors_start started
# Needs root and xserver-xorg-core, xserver-xorg-video-dummy, x11-xserver-utils
# (tools/setup.sh installs them). Under Wine the primary is at (0,0): a monitor
# left of or above it gets negative coordinates (Windows x = X x - primary's X x).
MONITORS_XORG_PID=""
MONITORS_DIR=""

monitors_start() {
  local dir i=0 g w h n="" args=()
  command -v Xorg >/dev/null && command -v xrandr >/dev/null || return 1
  dir=$(mktemp -d "${TMPDIR:-/tmp}/monitors.XXXX")
  MONITORS_DIR=$dir
  printf '%s\n' 'Section "ServerFlags"' ' Option "AutoAddDevices" "false"' ' Option "DontVTSwitch" "true"' 'EndSection' \
    'Section "Device"' ' Identifier "d"' ' Driver "dummy"' ' VideoRam 512000' 'EndSection' \
    'Section "Monitor"' ' Identifier "m"' ' HorizSync 5-1000' ' VertRefresh 5-200' 'EndSection' \
    'Section "Screen"' ' Identifier "s"' ' Device "d"' ' Monitor "m"' ' DefaultDepth 24' 'EndSection' > "$dir/xorg.conf"
  # The server picks a free display itself and writes its number.
  Xorg -displayfd 9 -config "$dir/xorg.conf" -noreset -nolisten tcp -novtswitch -sharevts \
    -logfile "$dir/Xorg.log" 9>"$dir/display" >/dev/null 2>&1 &
  MONITORS_XORG_PID=$!
  for _ in $(seq 1 100); do
    n="$( { tr -dc '0-9' <"$dir/display"; } 2>/dev/null || true)"
    [ -n "$n" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$MONITORS_XORG_PID" 2>/dev/null || break
    n=""
    sleep 0.1
  done
  [ -n "$n" ] || { monitors_stop; return 1; }
  export DISPLAY=":$n"
  for g in "$@"; do
    w=${g%%x*}; h=${g#*x}; h=${h%%+*}
    # An exact modeline: cvt and gtf round the width to a multiple of 8.
    xrandr --newmode "m${w}x$h" $(awk -v w="$w" -v h="$h" 'BEGIN { printf "%.2f %d %d %d %d %d %d %d %d", (w+160)*(h+30)*0.00006, w, w+48, w+80, w+160, h, h+3, h+6, h+30 }') 2>/dev/null
    xrandr --addmode "DUMMY$i" "m${w}x$h" || { monitors_stop; return 1; }
    args+=(--output "DUMMY$i" --mode "m${w}x$h" --pos "$(echo "${g#*+}" | tr + x)")
    [ "$i" = 0 ] && args+=(--primary)
    i=$((i + 1))
  done
  xrandr "${args[@]}" || { monitors_stop; return 1; }
  # A full query makes the server probe its outputs: until one has run, Wine
  # (which asks for the current state only) can still see a single monitor.
  xrandr >/dev/null
}

monitors_stop() {
  [ -n "$MONITORS_XORG_PID" ] && kill "$MONITORS_XORG_PID" 2>/dev/null && wait "$MONITORS_XORG_PID" 2>/dev/null
  [ -n "$MONITORS_DIR" ] && rm -rf "$MONITORS_DIR"
  MONITORS_XORG_PID=""
  MONITORS_DIR=""
}

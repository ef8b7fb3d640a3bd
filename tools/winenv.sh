# Sourced, not run. Sets up and tears down a private Wine session:
#   winenv_start DIR [use-display]  exports WINEPREFIX, LOCPATH, LC_ALL, DISPLAY, WINEDEBUG
#   winenv_stop                     stops the wineserver and the Xvfb this session started
# DIR holds the private locale and the Wine prefix. Without "use-display" a fresh
# Xvfb display is always started; with it, an existing $DISPLAY is used when there is one.

WINENV_XVFB_PID=""

winenv_start() {
  local dir="$1" mode="${2:-}"
  mkdir -p "$dir"
  dir="$(cd "$dir" && pwd)"

  # Wine needs a real zh_CN.UTF-8 locale for Chinese file names with code page 936.
  if [ ! -d "$dir/locale/zh_CN.UTF-8" ]; then
    mkdir -p "$dir/locale"
    localedef -i zh_CN -f UTF-8 "$dir/locale/zh_CN.UTF-8" >/dev/null 2>&1 || true
  fi
  export LOCPATH="$dir/locale" WINEDEBUG=-all WINEPREFIX="$dir/wineprefix"
  # The shell itself cannot switch to the private locale (it only reads LOCPATH
  # at start); Wine, started later, can. Keep the shell's warning quiet.
  { export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
  export WINEDLLOVERRIDES="mscoree,mshtml="

  if [ "$mode" = "use-display" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    :
  else
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    WINENV_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do
      [ -S "/tmp/.X11-unix/X$n" ] && xdpyinfo >/dev/null 2>&1 && break
      sleep 0.1
    done
    [ "$mode" = "use-display" ] && echo "winenv: no X display found; running on the virtual display $DISPLAY"
  fi

  # A persistent wineserver makes every later wine start cheap. It may already
  # run (an earlier session of this prefix that was not stopped): that one is used.
  wineserver -p >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 180 wine wineboot -i >/dev/null 2>&1 || true
    # No window manager here: unmanaged windows avoid 2 s waits on every hide.
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
    # A crash must end the process at once, not wait on a debugger dialog.
    timeout 60 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d "" /f >/dev/null 2>&1 || true
    timeout 60 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1 || true
  fi
  # The first Wine process of a session starts the server and Wine's background
  # services, which inherit its output and keep it open for good. Start them
  # here, on /dev/null, so that a test runner reading a test program's output
  # (ctest) is not kept waiting until its time-out.
  timeout 120 wine cmd /c exit >/dev/null 2>&1 || true
}

winenv_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$WINENV_XVFB_PID" ]; then
    kill "$WINENV_XVFB_PID" >/dev/null 2>&1 || true
    wait "$WINENV_XVFB_PID" 2>/dev/null || true
    WINENV_XVFB_PID=""
  fi
}

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
    if ! localedef -i zh_CN -f UTF-8 "$dir/locale/zh_CN.UTF-8" >"$dir/localedef.log" 2>&1; then
      echo "winenv: localedef could not build the zh_CN.UTF-8 locale (see $dir/localedef.log);" \
           "Chinese file names will not work under Wine" >&2
      rm -rf "$dir/locale/zh_CN.UTF-8"
    fi
  fi
  export LOCPATH="$dir/locale" WINEDEBUG=-all WINEPREFIX="$dir/wineprefix"
  # The shell itself cannot switch to the private locale (it only reads LOCPATH
  # at start); Wine, started later, can. Keep the shell's warning quiet.
  { export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
  export WINEDLLOVERRIDES="mscoree,mshtml="

  if [ "$mode" = "use-display" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    :
  else
    # The server picks a free display itself and writes its number to the
    # file: no race with another session choosing the same number.
    local numberFile="$dir/xvfb-display"
    rm -f "$numberFile"
    Xvfb -displayfd 9 -screen 0 1920x1080x24 -nolisten tcp 9>"$numberFile" >/dev/null 2>&1 &
    WINENV_XVFB_PID=$!
    local i number=""
    for i in $(seq 1 100); do
      number="$( { tr -dc '0-9' <"$numberFile"; } 2>/dev/null || true)"
      [ -n "$number" ] && break
      kill -0 "$WINENV_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    if [ -z "$number" ]; then
      echo "winenv: Xvfb did not start" >&2
      winenv_stop
      return 1
    fi
    export DISPLAY=":$number"
    for i in $(seq 1 50); do
      xdpyinfo >/dev/null 2>&1 && break
      sleep 0.1
    done
    if ! xdpyinfo >/dev/null 2>&1; then
      echo "winenv: the Xvfb display $DISPLAY does not answer" >&2
      winenv_stop
      return 1
    fi
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

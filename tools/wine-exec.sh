#!/usr/bin/env bash
# Runs a Windows executable under Wine in the session that tools/winenv.sh set up
# (ctest uses this as the cross-compiling emulator).
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "wine-exec: no Wine session; run the tests through tools/test.sh" >&2
  exit 2
fi
exec wine "$@"

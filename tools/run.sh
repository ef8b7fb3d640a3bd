#!/usr/bin/env bash
# Builds the program and starts it under Wine on your X display (or on a virtual
# display when there is none). Returns when the program ends.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
"$ROOT/tools/setup.sh"
"$ROOT/tools/build.sh"

. "$ROOT/tools/winenv.sh"
trap winenv_stop EXIT
trap "exit 130" INT TERM
# A session of its own: a test run at the same time keeps its own server.
winenv_start "$BUILD_DIR/wine-run-session" use-display
echo "Starting DrawBoard.exe on display $DISPLAY (Config.ini is written next to it)"
wine "$BUILD_DIR/DrawBoard.exe"

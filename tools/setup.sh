#!/usr/bin/env bash
# Installs what building and running under Wine needs, when it is missing.
# Safe to run again: it only calls apt-get for packages that are not installed.
set -euo pipefail

PACKAGES=(cmake make g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest
          wine wine64 xvfb xauth xdotool x11-apps x11-utils xclip imagemagick
          fonts-wqy-microhei locales
          xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils)  # tools/monitors.sh

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "setup: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
  fi
fi
echo "setup: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

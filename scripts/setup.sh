#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12 (as root, or with sudo).
# Installs only what is missing, so it is cheap to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ git python3
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev
  nsis
  wine wine64 xvfb xauth x11-utils xdotool imagemagick fonts-wqy-microhei
  googletest libbenchmark-dev clang-format
  cups cups-client printer-driver-cups-pdf ghostscript
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

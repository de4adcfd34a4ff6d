#!/usr/bin/env bash
# Installs what is missing, builds, and starts pelto.exe under Wine on this display (or on a
# private Xvfb display when there is none).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
trap pelto_stop_wine EXIT
cd "$root/build/win/bin"
wine ./pelto.exe "$@"

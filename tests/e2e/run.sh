#!/usr/bin/env bash
# The end-to-end suite on its own: makes the installer and a newer release of the built program,
# then installs, uses, updates and uninstalls the program under Wine in a fresh prefix on a
# private display. Build first (scripts/build.sh).
#   bash tests/e2e/run.sh [BUILD_DIR]       (default build/win; files go to BUILD_DIR/e2e)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd)
work=$build/e2e

# A fresh prefix each run: nothing of an earlier install may help this one pass.
if [ -d "$work/prefix" ]; then
  WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1 || true
fi
rm -rf "$work"
mkdir -p "$work/release"

echo "== e2e: installers"
setup=$(bash "$root/scripts/make-installer.sh" --build "$build" | tail -1)
bash "$root/scripts/make-installer.sh" --build "$build" --exe "$build/e2e-next/pelto.exe" \
  --out "$work/release" >/dev/null
printf 'Test release.\nMade by the end-to-end suite.\n' > "$work/release/notes.txt"
python3 "$root/scripts/write-update-list.py" "$work/release"

echo "== e2e: fresh Wine prefix"
# A private display unless the caller hands over an idle one of its own (PELTO_E2E_XVFB=0 and
# DISPLAY, as test.sh does once the other tests are done with its display).
export WINEPREFIX=$work/prefix PELTO_XVFB=${PELTO_E2E_XVFB:-1}
unset PELTO_XVFB_PID
pelto_root=$root
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
trap pelto_stop_wine EXIT
python3 "$root/tests/e2e/e2e.py" --build "$build" --work "$work" --installer "$setup" \
  --release "$work/release"

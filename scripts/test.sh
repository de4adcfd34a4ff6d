#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the Windows tests under Wine
# on a private Xvfb display, then the portable core natively under ASan and UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/setup.sh"
# The layers first: an include cycle or a Windows header in the portable core fails fast.
python3 "$root/scripts/check-include-cycles.py"
bash "$root/scripts/check-portable-headers.sh"
bash "$root/scripts/build.sh" --native

# A PDF print queue for the printing test, started before any Wine process asks for printers.
if print_dir=$(bash "$root/scripts/print-queue.sh"); then export PELTO_PRINT_DIR=$print_dir; fi

export PELTO_XVFB=1
# The programs under test ask for updates at start; they must never reach out past this machine.
export PELTO_UPDATE_ROOT=${PELTO_UPDATE_ROOT:-http://127.0.0.1:9}
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
trap pelto_stop_wine EXIT

status=0
echo "== Windows tests (Wine) =="
# A Wine process now and then outlives its test's end on a loaded machine; a test that failed or
# timed out runs once more before it counts as failed.
ctest --test-dir "$root/build/win" --output-on-failure -j 2 --repeat until-pass:2 || status=1
echo "== Portable core (native, ASan+UBSan) =="
ctest --test-dir "$root/build/native" --output-on-failure -j 2 || status=1
echo "== Installer and end-to-end suite (Wine, a fresh prefix) =="
PELTO_E2E_XVFB=0 bash "$root/tests/e2e/run.sh" "$root/build/win" || status=1
exit $status

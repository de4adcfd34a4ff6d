#!/usr/bin/env bash
# Makes the installer from the built program: <build>/installer/PeltoSetup-<version>.exe, the
# version being the program's own file version. Build first (scripts/build.sh).
#   bash scripts/make-installer.sh [--build DIR] [--exe FILE] [--out DIR]
#     --build  the Windows build folder (default build/win); the DLLs and "snap.wav" come from its bin/
#     --exe    the program to install (default <build>/bin/pelto.exe)
#     --out    where the installer goes (default <build>/installer)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/win
exe=
out=
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --exe) exe=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "make-installer: unknown argument $1" >&2; exit 2 ;;
  esac
done
exe=${exe:-$build/bin/pelto.exe}
out=${out:-$build/installer}

for f in "$exe" "$build/bin/PeltoLib.dll" "$build/bin/PeltoFx.dll" "$build/bin/Hook.dll" \
         "$build/bin/snap.wav"; do
  [ -f "$f" ] || { echo "make-installer: $f is missing; build first" >&2; exit 1; }
done
version=$(python3 "$root/scripts/file_version.py" "$exe")
mkdir -p "$out"
setup=$(cd "$out" && pwd)/PeltoSetup-$version.exe
makensis -V2 -INPUTCHARSET UTF8 \
  "-DVERSION=$version" "-DPROGRAM=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")" \
  "-DBIN=$build/bin" "-DOUTFILE=$setup" "$root/installer/pelto.nsi"
echo "$setup"

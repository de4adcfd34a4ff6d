#!/usr/bin/env bash
# Builds the Windows deliverables and tests (build/win) and, with --native, the portable core's
# native sanitizer tests (build/native).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
win=${PELTO_BUILD_DIR:-$root/build/win}

cmake -S "$root" -B "$win" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$win" -j "$jobs"

if [ "${1:-}" = "--native" ]; then
  cmake -S "$root" -B "$root/build/native" -G Ninja >/dev/null
  cmake --build "$root/build/native" -j "$jobs"
fi

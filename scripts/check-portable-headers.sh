#!/usr/bin/env bash
# Fails when a portable source of PeltoLib pulls in a Windows header when the Windows compiler
# builds it. The native build proves the portable core compiles without one, but not that the
# shipped build does not drag windows.h in through some shared header behind an #ifdef _WIN32.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cxx=${PELTO_MINGW_CXX:-x86_64-w64-mingw32-g++-posix}

# The PORTABLE sources of every area, read from the areas' sources.cmake as the builds read them.
listed=$(cmake -P "$root/cmake/ListPortableSources.cmake")
mapfile -t sources <<<"$listed"
[ -n "$listed" ] || { echo "no portable sources found"; exit 1; }

status=0
for src in "${sources[@]}"; do
    deps=$("$cxx" -std=c++17 -DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0601 -I"$root" \
        -M "$root/$src")
    if grep -Eiq '/(windows|windef|minwindef|winnt|winbase|wingdi|winuser)\.h' <<<"$deps"; then
        echo "$src includes a Windows header in the Windows build:"
        "$cxx" -std=c++17 -DUNICODE -D_UNICODE -DNOMINMAX -I"$root" -H -fsyntax-only \
            "$root/$src" 2>&1 | grep -E "$root/|/windows\.h" | head -8 || true
        status=1
    fi
done
[ $status -eq 0 ] && echo "portable core: ${#sources[@]} sources, no Windows header"
exit $status

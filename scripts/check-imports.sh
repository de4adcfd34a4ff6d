#!/usr/bin/env bash
# Lists the DLLs that each .exe and .dll in a folder imports and fails when one of them is neither
# a Windows system DLL nor present in that folder (a MinGW runtime DLL, for example).
set -u
dir=${1:?usage: check-imports.sh BIN_DIR}
objdump=x86_64-w64-mingw32-objdump
system_re='^(kernel32|user32|gdi32|gdiplus|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|msimg32|winmm|urlmon|version|msvcrt|ws2_32|shlwapi|uuid|imm32|api-ms-win-.*)\.dll$|^winspool\.drv$'
status=0
count=0
shopt -s nullglob nocaseglob
for f in "$dir"/*.exe "$dir"/*.dll; do
  count=$((count + 1))
  while read -r dll; do
    lower=$(printf '%s' "$dll" | tr 'A-Z' 'a-z')
    if [[ $lower =~ $system_re ]]; then continue; fi
    if [ -n "$(find "$dir" -maxdepth 1 -iname "$dll" -print -quit)" ]; then continue; fi
    echo "$(basename "$f") imports $dll, which is neither a system DLL nor in $dir"
    status=1
  done < <($objdump -p "$f" | sed -n 's/^\s*DLL Name: //p')
done
if [ "$count" -eq 0 ]; then echo "no modules in $dir"; exit 1; fi
echo "$count modules checked"
exit $status

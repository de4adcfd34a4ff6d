# Sourced by the run and test scripts: a display, a Wine prefix inside the build folder with the
# Chinese font set up, and a persistent wineserver so that each program starts in a few ms.
#   PELTO_XVFB=1  always use a private Xvfb display (CI and tests do)
# shellcheck shell=bash

pelto_root=${pelto_root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$pelto_root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv,winepulse.drv="
export WINEARCH=win64

pelto_start_xvfb() {
  local n
  for n in $(seq 77 199); do
    # A display whose server died without cleaning up is free again.
    local owner
    owner=$({ tr -d ' ' <"/tmp/.X${n}-lock"; } 2>/dev/null || true)
    if [ -n "$owner" ] && ! kill -0 "$owner" 2>/dev/null; then
      rm -f "/tmp/.X${n}-lock" "/tmp/.X11-unix/X${n}" 2>/dev/null || true
    fi
    if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      PELTO_XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
      done
      echo "wine-env: Xvfb on :$n did not start" >&2
      return 1
    fi
  done
  echo "wine-env: no free display number" >&2
  return 1
}

pelto_stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${PELTO_XVFB_PID:-}" ]; then kill "$PELTO_XVFB_PID" 2>/dev/null || true; fi
}

if [ "${PELTO_XVFB:-0}" = 1 ] || [ -z "${DISPLAY:-}" ]; then
  if [ "${PELTO_XVFB:-0}" != 1 ]; then
    echo "wine-env: no display here; running on a private Xvfb display" >&2
  fi
  pelto_start_xvfb
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
if [ ! -f "$WINEPREFIX/.pelto-fonts" ]; then
  # regedit wants UTF-16 with a byte-order mark.
  reg=$(mktemp --suffix=.reg)
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$pelto_root/scripts/wine-fonts.reg"; } > "$reg"
  wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
  wineserver -w
  rm -f "$reg"
  touch "$WINEPREFIX/.pelto-fonts"
fi
# The redirect matters: without it the calling shell waits for the server forever.
wineserver -p >/dev/null 2>&1
# Start Wine's own background processes now, detached from any output pipe: started later by a
# test under ctest, they would inherit its pipe and ctest would wait for them to close it.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
# The same for the desktop process that the first program touching the desktop would start.
wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1 </dev/null || true

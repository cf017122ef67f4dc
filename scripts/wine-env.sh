# Sourced by the run and test scripts: a private Wine prefix under the build
# folder, code page 932, and an Xvfb display when there is none.
# Needs WINE_BUILD_DIR set to the cross build folder.

export WINEPREFIX="$WINE_BUILD_DIR/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export LC_ALL=ja_JP.UTF-8
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || echo true)
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)

TANAVO_XVFB_PID=""
start_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  TANAVO_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

stop_display() {
  if [ -n "$TANAVO_XVFB_PID" ]; then
    kill "$TANAVO_XVFB_PID" 2>/dev/null || true
    wait "$TANAVO_XVFB_PID" 2>/dev/null || true
    TANAVO_XVFB_PID=""
  fi
}

init_prefix() {
  if [ ! -f "$WINEPREFIX/.tanavo-ready" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot --init >/dev/null 2>&1 || true
    # Without a window manager Wine waits about 2 s at every close otherwise.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    "$WINE" wineboot --shutdown >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.tanavo-ready"
  fi
}

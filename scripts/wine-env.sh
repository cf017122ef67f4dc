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

# Raise it whenever init_prefix sets up something new: a prefix made by an
# older script is then brought up to date instead of being taken as ready.
TANAVO_PREFIX_VERSION=3

TANAVO_XVFB_PID=""
# start_display [WIDTHxHEIGHT]: an Xvfb screen of that size (1280x1024 by
# default) when there is no display. TANAVO_SCREEN_WIDTH tells the tests the
# width of a screen started here.
start_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local size=${1:-1280x1024}
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  TANAVO_XVFB_PID=$!
  export DISPLAY=":$n"
  export TANAVO_SCREEN_WIDTH=${size%%x*}
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

stop_display() {
  if [ -n "$TANAVO_XVFB_PID" ]; then
    kill "$TANAVO_XVFB_PID" 2>/dev/null || true
    wait "$TANAVO_XVFB_PID" 2>/dev/null || true
    TANAVO_XVFB_PID=""
    unset DISPLAY TANAVO_SCREEN_WIDTH
  fi
}

# The prefix's settings, as a registry file for regedit (UTF-16, so that the
# Japanese face names survive whatever the code page).
prefix_registry() {
  cat <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"ＭＳ 明朝"="IPAMincho"
"MS Mincho"="IPAMincho"
"ＭＳ Ｐ明朝"="IPAPMincho"
"MS PMincho"="IPAPMincho"
"FixedSys"="IPAGothic"

[HKEY_CLASSES_ROOT\.txt]
@="txtfile"
"Content Type"="text/plain"

[HKEY_CLASSES_ROOT\txtfile\shell\open\command]
@="\"C:\\windows\\system32\\notepad.exe\" \"%1\""
EOF
  # PDF (the user manual) and the photo types an attachment may be opened
  # as, each in a Linux viewer started through tanavo-view.
  local view ext
  view="Z:$(printf '%s' "$WINEPREFIX/tanavo-view" | sed 's|/|\\\\|g')"
  printf '\n[HKEY_CLASSES_ROOT\\.pdf]\n@="tanavo.pdf"\n"Content Type"="application/pdf"\n'
  printf '\n[HKEY_CLASSES_ROOT\\tanavo.pdf\\shell\\open\\command]\n@="\\"%s\\" xpdf \\"%%1\\""\n' "$view"
  for ext in jpg jpeg png gif bmp; do
    printf '\n[HKEY_CLASSES_ROOT\\.%s]\n@="tanavo.image"\n' "$ext"
  done
  printf '\n[HKEY_CLASSES_ROOT\\tanavo.image\\shell\\open\\command]\n@="\\"%s\\" feh \\"%%1\\""\n' "$view"
}

# tanavo-view VIEWER PATH: Wine starts Linux programs, handing them the
# Windows path of the document; the viewer gets its Linux path, through the
# prefix's drive links. With TANAVO_VIEW_LOG set, the viewer and the path are
# written there instead.
write_viewer_script() {
  cat >"$WINEPREFIX/tanavo-view" <<EOF
#!/bin/sh
path=\$2
case "\$path" in
  [A-Za-z]:\\\\*) ;;
  *) exit 1 ;;
esac
drive=\$(printf '%s' "\${path%%:*}" | tr 'A-Z' 'a-z')
file="$WINEPREFIX/dosdevices/\$drive:\$(printf '%s' "\${path#?:}" | tr '\\\\' /)"
case "\$1" in
  feh|xpdf) ;;
  *) exit 1 ;;
esac
# The tests ask for the viewer's name and file instead of its window.
if [ -n "\${TANAVO_VIEW_LOG:-}" ]; then
  printf '%s %s\\n' "\$1" "\$file" >>"\$TANAVO_VIEW_LOG"
  exit 0
fi
# Let go of the caller's output, which the viewer would hold open.
exec </dev/null >/dev/null 2>&1
case "\$1" in
  feh) exec feh --scale-down --image-bg black -- "\$file" ;;
  xpdf) exec xpdf "\$file" ;;
esac
EOF
  chmod +x "$WINEPREFIX/tanavo-view"
}

init_prefix() {
  local ready="$WINEPREFIX/.tanavo-ready"
  mkdir -p "$WINEPREFIX"
  end_other_session
  if [ -f "$ready" ] && [ "$(cat "$ready")" = "$TANAVO_PREFIX_VERSION" ]; then return 0; fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$WINE" wineboot --init >/dev/null 2>&1 || true
  fi
  # Without a window manager Wine waits about 2 s at every close otherwise.
  # The MS faces map to the IPA fonts, made with the same metrics; .txt files
  # (the analysis memo) open in notepad, PDF in xpdf and photos in feh.
  write_viewer_script
  local reg="$WINEPREFIX/tanavo-settings.reg"
  { printf '\xff\xfe'; prefix_registry | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$reg"
  "$WINE" regedit /S "Z:$(echo "$reg" | tr / '\\')" >/dev/null 2>&1 || true
  rm -f "$reg"
  # Debian's Wine looks for its own fonts beside the system's, not in
  # /usr/share/wine/fonts where they are installed, so Marlett, which draws
  # the caption buttons, is missing and the locale's default face draws the
  # letters "0 1 r" instead. The Windows font folder is always read.
  local f
  for f in /usr/share/wine/fonts/marlett.ttf; do
    [ -f "$f" ] && cp -f "$f" "$WINEPREFIX/drive_c/windows/Fonts/"
  done
  "$WINE" wineboot --shutdown >/dev/null 2>&1 || true
  echo "$TANAVO_PREFIX_VERSION" >"$ready"
}

# A Wine session keeps the screen size of the display it was started on: a
# program started from another display would place its windows for that
# screen. End such a session of this prefix before starting on this display
# (an Xvfb started here counts as another display each time: its number is
# used again after it ends).
end_other_session() {
  local seen="$WINEPREFIX/.tanavo-display"
  local now="${DISPLAY:-}${TANAVO_XVFB_PID:+ Xvfb $TANAVO_XVFB_PID}"
  if [ "$(cat "$seen" 2>/dev/null)" != "$now" ]; then
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    echo "$now" >"$seen"
  fi
}

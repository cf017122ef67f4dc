#!/usr/bin/env bash
# Takes screenshots of the real windows at the checkpoints of the tests under
# Wine: PNG files in build-win/shots/, each cut to the windows on screen. Run
# after a cross build. With --docs, the shots the README and the user manual
# show are also written, small, into docs/images/.
#
#   scripts/screenshots.sh [--docs] [GTEST_FILTER]
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
docs=0
if [ "${1:-}" = "--docs" ]; then
  docs=1
  shift
fi

# The shots shown in docs/ (README and manual).
doc_shots=(first-main-window first-extraction-settings first-detail-settings first-check-result
           first-display-settings first-memo extraction-settings-1024 data-display-first
           data-display-attachments full-mime-utf8 full-mime-nested-html raw-view-utf8
           case-search case-tag case-tagged)

missing=""
need() {  # $1: command, $2: Debian package
  command -v "$1" >/dev/null 2>&1 || missing="$missing $1 (package $2)"
}
need import imagemagick
need Xvfb xvfb
need convert imagemagick
[ -x /usr/lib/wine/wine64 ] || command -v wine64 >/dev/null 2>&1 || missing="$missing wine64 (package wine64)"
if [ -n "$missing" ]; then
  echo "screenshots: missing:$missing. Run ./scripts/setup.sh to install them." >&2
  exit 1
fi
if [ ! -f "$top/build-win/tanavo_gui_tests.exe" ]; then
  echo "screenshots: build-win/tanavo_gui_tests.exe is missing: make the cross build first (README, \"Building by hand\")." >&2
  exit 1
fi

export WINE_BUILD_DIR="$top/build-win"
. "$top/scripts/wine-env.sh"
unset DISPLAY
shots="$top/build-win/shots"
rm -rf "$shots"
mkdir -p "$shots"

# shoot NAME GEOMETRY: the screen of the current display, cut to GEOMETRY
# (WxH+X+Y, empty for the whole screen).
shoot() {
  local crop=()
  [ -n "$2" ] && crop=(-crop "$2" +repage)
  if import -display "$DISPLAY" -window root "${crop[@]}" "$shots/$1.png"; then
    echo "shot: $shots/$1.png"
  else
    echo "screenshots: import failed for $1" >&2
  fi
}

# run_tests SIZE FILTER: the Wine tests on an Xvfb screen of that size,
# answering their checkpoints with shots.
run_tests() {
  start_display "$1"
  init_prefix
  export TANAVO_SHOT_DIR
  TANAVO_SHOT_DIR=$("$WINE" winepath -w "$shots" 2>/dev/null | tr -d '\r')
  (cd "$top/build-win" && "$WINE" tanavo_gui_tests.exe ${2:+--gtest_filter="$2"} >>"$shots/gui.log" 2>&1) &
  local tests=$! m name
  while kill -0 "$tests" 2>/dev/null; do
    for m in "$shots"/*.ready; do
      [ -e "$m" ] || continue
      name=$(basename "$m" .ready)
      sleep 0.4
      shoot "$name" "$(tr -d '\r\n' <"$m")"
      rm -f "$m"
    done
    sleep 0.1
  done
  wait "$tests"
  "$WINESERVER" -k 2>/dev/null || true
  stop_display
}

run_tests 1280x1024 "${1:-}"
# The extraction settings window beside the main window on a small screen.
if [ -z "${1:-}" ]; then run_tests 1024x768 "GuiPlacement.*"; fi

if [ "$docs" -eq 1 ]; then
  mkdir -p "$top/docs/images"
  for name in "${doc_shots[@]}"; do
    if [ -f "$shots/$name.png" ]; then
      # The windows use few colours, so the shots are small already; only
      # the metadata that changes on every run is left out.
      convert "$shots/$name.png" -strip "$top/docs/images/$name.png"
      echo "docs: docs/images/$name.png"
    else
      echo "screenshots: no shot $name for docs/images" >&2
    fi
  done
  # The user manual's first pages, as its reader sees them.
  manual="$top/build-win/使用説明書.pdf"
  if [ -f "$manual" ] && command -v pdftoppm >/dev/null; then
    pdftoppm -r 40 -f 1 -l 4 -png "$manual" "$shots/manual"
    convert "$shots"/manual-*.png -bordercolor '#888888' -border 1 +append -strip "$top/docs/images/manual-first-pages.png"
    echo "docs: docs/images/manual-first-pages.png"
  fi
fi

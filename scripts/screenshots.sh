#!/usr/bin/env bash
# Takes screenshots of the real windows at the checkpoints of the tests under
# Wine: PNG files in build-win/shots/. Run after a cross build.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export WINE_BUILD_DIR="$top/build-win"
. "$top/scripts/wine-env.sh"
unset DISPLAY
start_display
init_prefix
shots="$top/build-win/shots"
rm -rf "$shots"
mkdir -p "$shots"
export TANAVO_SHOT_DIR=$("$WINE" winepath -w "$shots" 2>/dev/null | tr -d '\r')
export WINEPATH
(cd "$top/build-win" && "$WINE" tanavo_gui_tests.exe ${1:+--gtest_filter="$1"} >"$shots/gui.log" 2>&1) &
tests=$!
while kill -0 "$tests" 2>/dev/null; do
  for m in "$shots"/*.ready; do
    [ -e "$m" ] || continue
    name=$(basename "$m" .ready)
    sleep 0.4
    import -display "$DISPLAY" -window root "$shots/$name.png"
    rm -f "$m"
    echo "shot: $shots/$name.png"
  done
  sleep 0.1
done
stop_display

#!/usr/bin/env bash
# Sets up what is missing, builds Tanavo for Windows and starts it under Wine
# in a folder holding the bundled samples and the ready-made settings in
# presets/ (the file dialogs open there).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
cmake -S "$top" -B "$top/build-win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$top/build-win" -j"$(nproc)" --target Tanavo tanavo-cli
export WINE_BUILD_DIR="$top/build-win"
. "$top/scripts/wine-env.sh"
start_display
trap stop_display EXIT
init_prefix
run="$top/build-win/run"
mkdir -p "$run"
cp -f "$top"/samples/* "$run"/
# The ready-made settings and their samples in a folder of their own.
mkdir -p "$run/presets"
cp -f "$top"/presets/* "$run/presets"/
# The user manual beside Tanavo.exe and in the run folder ("使用説明書(&H)"
# opens it there); built again only when its sources changed.
manual="$top/build-win/使用説明書.pdf"
if [ ! -f "$manual" ] || [ -n "$(find "$top/docs" -type f -newer "$manual" | head -n 1)" ]; then
  "$top/scripts/make-manual.sh" "$top/build-win" || echo "Tanavo: the user manual could not be built" >&2
fi
[ -f "$manual" ] && cp -f "$manual" "$run"/
cd "$run"
echo "Tanavo: the samples are in $run, the ready-made settings in $run/presets (display $DISPLAY)"
"$WINE" "$top/build-win/Tanavo.exe"

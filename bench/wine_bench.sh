#!/usr/bin/env bash
# The real program under Wine against tanavo-cli, step by step, on generated
# mail dumps: see bench/wine_bench.py. Needs the cross build (build-win) and
# the native build (build) of tanavo-cli.
#
#   bench/wine_bench.sh [--before OTHER_BUILD_WIN] [MAILS ...]   (default 625 1250 2500)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export WINE_BUILD_DIR="$top/build-win"
. "$top/scripts/wine-env.sh"
start_display 1280x1024
init_prefix
export WINE
status=0
python3 "$top/bench/wine_bench.py" "$@" || status=$?
"$WINESERVER" -k 2>/dev/null || true
stop_display
exit $status

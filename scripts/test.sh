#!/usr/bin/env bash
# Sets up what is missing, then runs every test: the native tests (also under
# AddressSanitizer and UndefinedBehaviorSanitizer) and the tests of the real
# Win32 program under Wine.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" || exit 1
jobs=$(nproc)
passed=0
failed=0

count_ctest() {  # $1: ctest log
  local line p f
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  f=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
  p=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/')
  passed=$((passed + p - f))
  failed=$((failed + f))
}

native() {  # $1: build folder, $2...: extra cmake options
  local dir=$1
  shift
  echo "== native tests in $dir"
  if cmake -S "$top" -B "$dir" "$@" >/dev/null && cmake --build "$dir" -j"$jobs"; then
    (cd "$dir" && ctest --output-on-failure -j"$jobs") 2>&1 | tee "$dir/ctest.log"
    count_ctest "$dir/ctest.log"
  else
    echo "build failed: $dir"
    failed=$((failed + 1))
  fi
}

echo "== include order of the folders"
if "$top/scripts/check-includes.sh"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

native "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTANAVO_WERROR=ON
native "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTANAVO_SANITIZE=ON -DTANAVO_WERROR=ON

count_gtest() {  # $1: log of the Wine test program
  local p f
  p=$(grep -cE '^\[       OK \]' "$1")
  f=$(grep -cE '^\[  FAILED  \] [^ ]+\.[^ ]+ \(' "$1")
  if ! grep -qE '^\[  PASSED  \]' "$1" && [ "$f" -eq 0 ]; then f=1; fi
  passed=$((passed + p))
  failed=$((failed + f))
}

gui_tests() {  # $1: screen size when a screen is started here, $2: log, $3...: arguments
  local size=$1 log=$2
  shift 2
  start_display "$size"
  init_prefix
  (cd "$win" && timeout 900 "$WINE" tanavo_gui_tests.exe "$@") 2>&1 | tr -d '\r' | tee "$log"
  "$WINESERVER" -k 2>/dev/null || true
  stop_display
  count_gtest "$log"
}

echo "== replay of the stored fuzz corpus"
fuzzbuild="$top/build-fuzz"
if CC=clang CXX=clang++ cmake -S "$top" -B "$fuzzbuild" -DTANAVO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
   cmake --build "$fuzzbuild" -j"$jobs" >/dev/null; then
  for corpus in "$top"/fuzz/corpus/*/; do
    t=$(basename "$corpus")
    # Every stored input once, no new fuzzing: a fixed finding stays fixed.
    if "$fuzzbuild/$t" -runs=0 -timeout=10 -rss_limit_mb=2048 "$corpus" >"$fuzzbuild/$t.replay.log" 2>&1; then
      echo "replay $t: $(find "$corpus" -type f | wc -l) inputs ok"
      passed=$((passed + 1))
    else
      echo "replay $t failed:"; tail -n 20 "$fuzzbuild/$t.replay.log"
      failed=$((failed + 1))
    fi
  done
else
  echo "fuzz build failed"
  failed=$((failed + 1))
fi

echo "== tests of the real windows under Wine"
win="$top/build-win"
if cmake -S "$top" -B "$win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DTANAVO_WERROR=ON >/dev/null &&
   cmake --build "$win" -j"$jobs"; then
  echo "== user manual"
  if "$top/scripts/make-manual.sh" "$win"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  export WINE_BUILD_DIR="$win"
  . "$top/scripts/wine-env.sh"
  own_display=0
  [ -n "${DISPLAY:-}" ] || own_display=1
  gui_tests 1280x1024 "$win/gui.log"
  if [ "$own_display" -eq 1 ]; then
    echo "== window placement on a 1024 x 768 screen"
    gui_tests 1024x768 "$win/gui-1024.log" --gtest_filter='GuiPlacement.*'
  fi
else
  echo "cross build failed"
  failed=$((failed + 1))
fi

echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ and runs each for SECONDS (default 60),
# two at a time. New inputs go into fuzz/corpus/TARGET/ (minimised with
# -merge=1 at the end), findings into fuzz/findings/. A finding is a crash, a
# sanitizer report, a broken invariant, a run over 2 s or over 2 GiB.
#   usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
"$top/scripts/setup.sh" || exit 1
build="$top/build-fuzz"
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DTANAVO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
  cmake --build "$build" -j"$(nproc)" >/dev/null || { echo "fuzz build failed"; exit 1; }

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$top"/fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
python3 "$top/fuzz/make_seeds.py" "$seeds" >/dev/null
mkdir -p "$top/fuzz/findings" "$build/logs"
stamp="$seeds/.start"
touch "$stamp"

run_one() {  # $1: target
  local t=$1 corpus="$top/fuzz/corpus/$1" log="$build/logs/$1.log"
  mkdir -p "$corpus" "$seeds/$t"
  "$build/$t" "$corpus" "$seeds/$t" -max_total_time="$seconds" -timeout=2 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$top/fuzz/findings/$t-" >"$log" 2>&1
  # Keep the corpus small: only the inputs that add coverage.
  local merged
  merged=$(mktemp -d)
  "$build/$t" -merge=1 -timeout=2 -rss_limit_mb=2048 "$merged" "$corpus" >>"$build/logs/$t.merge.log" 2>&1 &&
    rm -rf "$corpus" && mv "$merged" "$corpus" || rm -rf "$merged"
}

running=0
for t in "${targets[@]}"; do
  [ -x "$build/$t" ] || { echo "no fuzz target $t"; exit 2; }
  run_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge 2 ]; then wait -n; running=$((running - 1)); fi
done
wait

passed=0
failed=0
for t in "${targets[@]}"; do
  log="$build/logs/$t.log"
  execs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -n 1)
  corpus=$(find "$top/fuzz/corpus/$t" -type f | wc -l)
  findings=$(find "$top/fuzz/findings" -name "$t-*" -type f -newer "$stamp" | wc -l)
  if grep -qE '^(==[0-9]+== ?ERROR|SUMMARY: |invariant failed)' "$log"; then findings=$((findings > 0 ? findings : 1)); fi
  printf '%-20s %s s, %s executions, corpus %s, findings %s\n' "$t" "$seconds" "${execs:-?}" "$corpus" "$findings"
  if [ "$findings" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

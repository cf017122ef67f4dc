#!/bin/sh
# tanavo-cli at real size: a generated vMessage dump of short SMS-like mails
# (bench/make_sms_dump.py, 1,000,000 by default, about 300 MB) read with the
# ready-made vMessage settings. Times and peak memory (GNU time's maximum
# resident set) of `index --max-records all` (creation, coverage and save),
# `list` and `render` of the last record, against the size of the dump.
#
#   bench/cli_bench.sh [CLI [RECORDS [WORKDIR]]]
#
# CLI defaults to build-rel/tanavo-cli, WORKDIR to a new folder under /tmp
# (the dump is never written into the source tree). Keep the runs short on a
# shared machine: one run each.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$here/build-rel/tanavo-cli}
records=${2:-1000000}
work=${3:-$(mktemp -d /tmp/tanavo-cli-bench.XXXXXX)}
dump=$work/sms$records.vmg
[ -s "$dump" ] || python3 "$here/bench/make_sms_dump.py" "$dump" "$records"
size=$(stat -c %s "$dump")

# One command: "name seconds peak_MiB peak/file".
measure() {
  name=$1
  shift
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >"$work/out" 2>"$work/err" || true
  read -r secs kib <"$work/time"
  awk -v n="$name" -v s="$secs" -v k="$kib" -v f="$size" \
    'BEGIN { printf "| %-40s | %8.2f | %8.0f | %5.2f |\n", n, s, k / 1024, k * 1024 / f }'
}

echo "dump: $dump ($size bytes, $records records)"
echo "| command | seconds | peak MiB | peak / file |"
echo "|---|---:|---:|---:|"
measure "index --max-records all (create+save)" \
  "$cli" index --max-records all "$dump" "$here/presets/vmessage.kta" "$here/presets/vmessage.kdp" "$work/sms.ini"
measure "list" "$cli" list "$work/sms.ini"
rows=$(wc -l <"$work/out")
measure "render $records" "$cli" render "$work/sms.ini" "$records"
measure "index (default capacity 2500)" \
  "$cli" index "$dump" "$here/presets/vmessage.kta" "$here/presets/vmessage.kdp" "$work/sms2500.ini"
echo "list rows: $rows; index file: $(stat -c %s "$work/sms.ini") bytes"

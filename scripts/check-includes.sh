#!/usr/bin/env bash
# Fails when a source file includes a folder at its own level or above it:
# folders include downward only, in the order ARCHITECTURE.md draws. A file
# may include its own folder freely.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top/src" || exit 1

# Level of each folder, lowest first. Folders on one level do not include
# each other.
level() {
  case $1 in
    text | platform) echo 0 ;;
    textview | codec) echo 1 ;;
    backend | extract | dispset) echo 2 ;;
    engine | mime) echo 3 ;;
    state) echo 4 ;;
    display | files) echo 5 ;;
    check | index) echo 6 ;;
    case) echo 7 ;;
    app | export) echo 8 ;;
    cli | entry) echo 9 ;;
    fuzz | bench) echo 10 ;;
    *) echo unknown ;;
  esac
}

# The folder a file belongs to: the platform back ends form one level of
# their own, the window program's entry point stands above the core, and the
# fuzz targets and benchmarks (outside src/) above everything.
folder_of() {
  case $1 in
    ../fuzz/*) echo fuzz ;;
    ../bench/*) echo bench ;;
    platform/win32/winmain.cpp) echo entry ;;
    platform/*/*) echo backend ;;
    *) echo "${1%%/*}" ;;
  esac
}

violations=0
while IFS= read -r file; do
  from=$(folder_of "$file")
  from_level=$(level "$from")
  if [ "$from_level" = unknown ]; then
    echo "$file: folder $from has no level in scripts/check-includes.sh"
    violations=$((violations + 1))
    continue
  fi
  while IFS= read -r target; do
    # A header beside the file or reached from it (the benchmarks' data
    # generator, the tests' support): no folder of src/.
    case $target in ../*) continue ;; */*) ;; *) continue ;; esac
    to=$(folder_of "$target")
    [ "$to" = "$from" ] && continue
    to_level=$(level "$to")
    if [ "$to_level" = unknown ] || [ "$to_level" -ge "$from_level" ]; then
      echo "$file includes $target ($from at level $from_level, $to at level $to_level)"
      violations=$((violations + 1))
    fi
  done < <(sed -n -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$file")
done < <({ find . -name '*.h' -o -name '*.cpp' | sed 's#^\./##'; find ../fuzz ../bench -name '*.h' -o -name '*.cpp'; } | sort)

if [ "$violations" -ne 0 ]; then
  echo "$violations includes run against the order of the folders"
  exit 1
fi
echo "includes: every folder includes only those below it"

#!/usr/bin/env bash
# Builds the user manual 使用説明書.pdf from docs/manual/ with headless
# Chromium and the IPA fonts, into each folder given (default: build-win,
# beside Tanavo.exe), and checks that the PDF has pages and embeds the fonts.
#
#   scripts/make-manual.sh [FOLDER...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || set -- "$top/build-win"
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ] || ! command -v pdfinfo >/dev/null || ! command -v pdffonts >/dev/null; then
  echo "make-manual: chromium and poppler-utils (pdfinfo, pdffonts) are needed: run ./scripts/setup.sh" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pdf="$work/manual.pdf"
# As root and without a network: no sandbox, nothing fetched in the background.
"$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
  --disable-component-update --disable-sync --user-data-dir="$work/profile" --no-pdf-header-footer \
  --print-to-pdf="$pdf" "file://$top/docs/manual/index.html" >"$work/chromium.log" 2>&1 || true
pages=$(pdfinfo "$pdf" 2>/dev/null | sed -n 's/^Pages: *//p')
if [ -z "$pages" ] || [ "$pages" -lt 5 ]; then
  echo "make-manual: no usable PDF from chromium:" >&2
  tail -n 5 "$work/chromium.log" >&2
  exit 1
fi
if ! pdffonts "$pdf" | grep -q IPA; then
  echo "make-manual: the PDF does not embed the IPA fonts (fonts-ipafont-gothic installed?)" >&2
  exit 1
fi
for dir in "$@"; do
  mkdir -p "$dir"
  cp "$pdf" "$dir/使用説明書.pdf"
  echo "manual: $dir/使用説明書.pdf ($pages pages)"
done

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
# A copy of docs/ to print from, so that the table of contents can be given
# its page numbers without touching the source.
cp -r "$top/docs" "$work/docs"
print_manual() {
  # As root and without a network: no sandbox, nothing fetched in the background.
  "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --user-data-dir="$work/profile" --no-pdf-header-footer \
    --print-to-pdf="$pdf" "file://$work/docs/manual/index.html" >"$work/chromium.log" 2>&1 || true
}
# Chromium prints no page numbers of its own: the first print shows on which
# page each chapter starts, the second prints them in the table of contents,
# on the lines its entries already take, so that no chapter moves.
print_manual
python3 - "$work/docs/manual/index.html" "$pdf" <<'PY'
import re, subprocess, sys
html_path, pdf = sys.argv[1], sys.argv[2]
html = open(html_path, encoding="utf-8").read()
count = int(re.search(r"Pages:\s*(\d+)", subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout).group(1))
text = [subprocess.run(["pdftotext", "-layout", "-f", str(p), "-l", str(p), pdf, "-"], capture_output=True,
                       text=True).stdout for p in range(1, count + 1)]
squeeze = lambda t: re.sub(r"\s+", "", t)
contents = next((i for i, t in enumerate(text) if "目次" in t), 0)
def page_of(anchor):
    m = re.search(r'<h2 id="%s">(.*?)</h2>' % re.escape(anchor), html)
    if not m:
        return ""
    heading = squeeze(re.sub(r"<[^>]+>", "", m.group(1)))
    for i in range(contents + 1, count):
        if heading in squeeze(text[i]):
            return str(i + 1)
    return ""
html = re.sub(r'(<li><a href="#([\w-]+)">.*?</a>)(<span class="page">[^<]*</span>)?',
              lambda m: m.group(1) + '<span class="page">%s</span>' % (page_of(m.group(2)) or "&nbsp;"), html)
open(html_path, "w", encoding="utf-8").write(html)
PY
print_manual
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

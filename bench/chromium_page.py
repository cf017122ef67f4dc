#!/usr/bin/env python3
"""What headless Chromium spends on one page of an export, from its own trace
rather than the whole process (whose start alone takes seconds on a busy
machine): the page's HTML parsing, style, layout and paint, summed over the
renderer's trace events, and the time from the navigation to the load event.
Each page is opened RUNS times (3 by default), alternating between pages, so
that a busy machine weighs on each alike.

    python3 bench/chromium_page.py [--runs N] PAGE.html [PAGE.html ...]

A page of 1000 records is the same whatever the export's total, so a page of
a small export (bench/make_sms_dump.py 2000, then tanavo-cli index and export)
stands for a page at 1,000,000 records.
"""
import collections
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

PHASES = {
    "parse": ("ParseHTML",),
    "style": ("Document::updateStyle",),
    "layout": ("Layout",),
    "paint": ("Blink.Paint.UpdateTime",),
    "lifecycle": ("WebFrameWidgetImpl::UpdateLifecycle",),
}


def trace_page(browser, url, work):
    trace = os.path.join(work, "trace.json")
    if os.path.exists(trace):
        os.remove(trace)
    subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + os.path.join(work, "p"),
                    "--trace-startup=blink,devtools.timeline,loading", "--trace-startup-format=json",
                    "--trace-startup-file=" + trace, "--trace-startup-duration=0", "--dump-dom", url],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300, check=False)
    raw = open(trace, encoding="utf-8", errors="replace").read()
    try:
        data = json.loads(raw)
    except ValueError:  # a trace cut at the process's end
        data = json.loads(raw.rstrip().rstrip(",") + "]}")
    events = data["traceEvents"] if isinstance(data, dict) else data
    sums = collections.defaultdict(float)
    marks = {}
    for e in events:
        if e.get("ph") == "X" and "dur" in e:
            sums[e["name"]] += e["dur"] / 1000.0
        if e.get("name") in ("navigationStart", "loadEventEnd"):
            marks.setdefault(e["name"], e.get("ts", 0))
    row = {k: sum(sums[n] for n in names) for k, names in PHASES.items()}
    if "navigationStart" in marks and "loadEventEnd" in marks:
        row["to load"] = (marks["loadEventEnd"] - marks["navigationStart"]) / 1000.0
    return row


def main():
    args = sys.argv[1:]
    runs = 3
    if len(args) >= 2 and args[0] == "--runs":
        runs = int(args[1])
        args = args[2:]
    if not args:
        sys.exit(__doc__)
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    if not browser:
        sys.exit("no chromium")
    results = {page: [] for page in args}
    with tempfile.TemporaryDirectory() as work:
        for _ in range(runs):
            for page in args:
                results[page].append(trace_page(browser, "file://" + os.path.abspath(page), work))
    for page, rows in results.items():
        keys = [k for k in list(PHASES) + ["to load"] if all(k in r for r in rows)]
        cells = ", ".join("%s %.0f ms" % (k, statistics.median(r[k] for r in rows)) for k in keys)
        print("%s (median of %d): %s" % (page, len(rows), cells))


if __name__ == "__main__":
    main()

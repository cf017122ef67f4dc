#!/usr/bin/env python3
"""The real program under Wine, timed from outside step by step, beside
tanavo-cli doing the same work in the same run. Run through bench/wine_bench.sh,
which gives it a Wine prefix and a display.

Steps (the driver is bench/wine/wine_bench.cpp, a second Windows process):
  open     OK in the open dialog until the raw text view holds the file and
           the window answers          | tanavo-cli check DUMP KTA (reads the
                                         file, walks record 1)
  copy     select all and copy in the raw text view with the file in it
           (not with --short)
  index    OK in the confirmation until the save dialog shows, then OK in
           the save dialog until the main window's status bar answers, which
           it does once the index is saved: what the user waits for, the
           save dialog's own time left out (every record: the program's
           Tanavo.cfg says MaxRecords=all for the run)
                                       | tanavo-cli index --max-records all
                                         DUMP KTA KDP OUT
  load     OK in the open dialog of the index file until the status bar
           answers: the index, the dump and both settings loaded
  display  the data display command until record 1 is rendered
                                       | tanavo-cli render OUT 1
  choose   choosing record 2000 (the last one of smaller dumps)
                                       | tanavo-cli render OUT 2000
Also the peak working set of Tanavo.exe, against the file size.

usage: bench/wine_bench.sh [--before OTHER_BUILD_WIN] [--short] [MAILS ...]
       (default 625 1250 2500 mails; --before adds a column for the Tanavo.exe
       of another cross build, e.g. one of an older commit; --short makes
       dumps of short messages of about 300 bytes, chooses the last record
       and skips the copy: e.g. --short 1000000 for a dump of about 300 MB)
The last column gives each step of Tanavo.exe against `tanavo-cli index` on
the same dump. The dumps are made under the system's temporary folder and
removed afterwards.
"""
import os
import subprocess
import sys
import tempfile
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE = os.environ.get("WINE", "wine64")
CLI = os.path.join(TOP, "build", "tanavo-cli")
DRIVER = os.path.join(TOP, "build-win", "tanavo_wine_bench.exe")
STEPS = ["open", "copy", "index", "load", "display", "choose"]


def winepath(path):
    return subprocess.run([WINE, "winepath", "-w", path], check=True, capture_output=True,
                          text=True).stdout.strip()


def drive(exe, windir, record, short):
    out = subprocess.run([WINE, DRIVER, "run", winepath(exe), windir, str(record)] + (["nocopy"] if short else []),
                         check=True,
                         capture_output=True, text=True, timeout=1800).stdout
    values = {}
    for line in out.replace("\r", "").splitlines():
        key, _, value = line.partition(" ")
        values[key] = float(value)
    return values


def timed(cmd):
    t0 = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - t0


def cli_steps(d, record):
    dat, kta, kdp, ini = (os.path.join(d, n) for n in ("dump.dat", "mail.kta", "mail.kdp", "cli.ini"))
    return {
        "open": timed([CLI, "check", dat, kta]),
        "index": timed([CLI, "index", "--max-records", "all", dat, kta, kdp, ini]),
        "display": timed([CLI, "render", ini, "1"]),
        "choose": timed([CLI, "render", ini, str(record)]),
    }


def main():
    args = sys.argv[1:]
    before = None
    if args[:1] == ["--before"]:
        before = os.path.join(os.path.abspath(args[1]), "Tanavo.exe")
        args = args[2:]
    short = args[:1] == ["--short"]
    if short:
        args = args[1:]
    sizes = [int(a) for a in args] or [625, 1250, 2500]
    programs = ([("before", before)] if before else []) + [("Tanavo.exe", os.path.join(TOP, "build-win", "Tanavo.exe"))]
    rows = []
    with tempfile.TemporaryDirectory() as d:
        for mails in sizes:
            sub = os.path.join(d, str(mails))
            os.mkdir(sub)
            windir = winepath(sub)
            subprocess.run([WINE, DRIVER, "make", str(mails), windir] + (["short"] if short else []), check=True)
            size = os.path.getsize(os.path.join(sub, "dump.dat"))
            record = mails if short else min(2000, mails)
            results = {label: drive(exe, windir, record, short) for label, exe in programs}
            cli = cli_steps(sub, record)
            rows.append((mails, size, record, results, cli))
    labels = [label for label, _ in programs]
    head = "%-6s %7s %-8s" % ("mails", "MiB", "step") + "".join(" %11s" % l for l in labels) + \
        " %11s %9s %10s" % ("tanavo-cli", "ratio", "/cli index")
    print(head)
    for mails, size, record, results, cli in rows:
        for step in STEPS:
            if step not in results[labels[-1]]:
                continue
            line = "%-6d %7.1f %-8s" % (mails, size / 1048576, step if step != "choose" else "choose%d" % record)
            line += "".join(" %10.3fs" % results[l][step] for l in labels)
            now = results[labels[-1]][step]
            line += (" %10.3fs %8.1fx" % (cli[step], now / cli[step])) if step in cli else " %11s %9s" % ("-", "-")
            line += " %9.1fx" % (now / cli["index"])
            print(line)
        for l in labels:
            opened = results[l].get("peak_open", 0)
            peak = results[l].get("peak_working_set", 0)
            print("%-6d %7.1f peak working set of %s: %.0f MiB with the file open (%.2f times the file), "
                  "%.0f MiB at the end, after every step (%.2f times)" %
                  (mails, size / 1048576, l, opened / 1048576, opened / size, peak / 1048576, peak / size))
    if len(rows) > 1:
        first, last = rows[0], rows[-1]
        scale = last[1] / first[1]
        for step in STEPS:
            if step not in first[3][labels[-1]]:
                continue
            t0, t1 = first[3][labels[-1]][step], last[3][labels[-1]][step]
            print("%-8s %.1f times the file: %.1f times the time" % (step, scale, t1 / t0 if t0 else 0))


if __name__ == "__main__":
    main()

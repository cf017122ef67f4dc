#!/usr/bin/env python3
"""Whole-process benchmark of full mail decoding: `tanavo-cli export` of the
same generated dump of 2500 phone mails (that of compare_python_email.py,
with every fifth mail UTF-8 and every fifth multipart with a JPEG-typed
attachment) under two settings, against Python's email package doing the
same work:

  (a) export, the Date, From, To, Subject and Body entries decoded as the
      settings' tags describe;
  (b) export, the same five entries decoded in full (the charset start tag
      "*MIME*", the end tag empty);
  (c) Python's email package (policy.default): every mail parsed, Date, From,
      To and Subject decoded to text, the body text, every attachment's
      bytes decoded and written to its own file, each record's text written.

Each export gets a fresh empty folder and its index is made beforehand
(untimed). Since an export's time is mostly writing and flushing its 3000
files, the decoding alone is timed too: `tanavo-cli index` under both
settings (the list line's Date, From and Subject decode each mail, in full
mode the whole mail once: the record's entries share one decoding) against
Python doing (c) without writing anything. Every command runs as a whole process, several runs each, in the
same run; best and median are printed with the ratios b/a (goal: within 2x)
and c/b (goal: at least 10x).

usage: bench/compare_full_export.py [TANAVO_CLI] [RUNS]
       (default build/tanavo-cli, 5 runs)
"""
import base64
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare_python_email import MAILS, dump, entry  # noqa: E402  (the one generator)

FIELDS = ("Date", "From", "To", "Subject")

PYTHON_WORKER = r'''
import os
import sys
from email import policy
from email.parser import BytesParser
data = open(sys.argv[1], "rb").read()
out = sys.argv[2]  # "-": decode only, write nothing
if out != "-":
    os.makedirs(os.path.join(out, "records"))
    os.makedirs(os.path.join(out, "attachments"))
parser = BytesParser(policy=policy.default)
count = attachments = 0
for chunk in data.split(b"BEGIN:MAIL\r\n")[1:]:
    count += 1
    msg = parser.parsebytes(chunk.split(b"END:MAIL\r\n")[0])
    fields = [str(msg[name]) for name in ("Date", "From", "To", "Subject")]
    body = msg.get_body(("plain", "html"))
    text = body.get_content() if body is not None else ""
    if out == "-":
        attachments += sum(len(part.get_payload(decode=True)) > 0 for part in msg.iter_attachments())
        continue
    with open(os.path.join(out, "records", "%04d.txt" % count), "w", encoding="utf-8") as f:
        f.write("\n".join(fields) + "\n" + text)
    for k, part in enumerate(msg.iter_attachments(), 1):
        with open(os.path.join(out, "attachments", "%04d-%d-%s" % (count, k, part.get_filename())), "wb") as f:
            f.write(part.get_payload(decode=True))
        attachments += 1
assert count == int(sys.argv[3]), count
print(attachments)
'''


def settings(kta, kdp, full):
    """Date, From, To, Subject and Body entries; full: all five in full mode."""
    def header(name):
        if full:
            return entry("Data", name, b"BEGIN:MAIL", b"END:MAIL", japaneseCodeStartTag=b"*MIME*")
        tag = (name + ": ").encode()
        return entry("Data", name, tag, b"\r\n", contentStartTag=tag, contentEndTag=b"\r\n")
    if full:
        body = entry("Data", "Body", b"BEGIN:MAIL", b"END:MAIL", japaneseCodeStartTag=b"*MIME*")
    else:
        body = entry("Data", "Body", b"Content-Type:", b"END:MAIL", dataTypeStartTag=b"*", dataTypeEndTag=b"*",
                     encodingStartTag=b"*", encodingEndTag=b"*", japaneseCodeStartTag=b"*",
                     japaneseCodeEndTag=b"*", contentStartTag=b"\r\n\r\n", contentEndTag=b"END:MAIL")
    record = entry("D_SET", "MAIL", b"BEGIN:MAIL", b"END:MAIL")
    open(kta, "wb").write(record + b"".join(header(n) for n in FIELDS) + body + record)
    template = b"??Date            ??  ??From                    ??  ??Subject                  ??"
    layout = b"??Date??\r\n??From??\r\n??To??\r\n??Subject??\r\n??Body??\0"
    open(kdp, "wb").write(base64.b64encode(template) + b"\r\n" + base64.b64encode(layout))


def timed(cmd, out, runs):
    """Best and median seconds of cmd, out removed before each run (untimed)."""
    times = []
    for _ in range(runs):
        shutil.rmtree(out, ignore_errors=True)
        t0 = time.perf_counter()
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(time.perf_counter() - t0)
    return min(times), statistics.median(times)


def count_files(folder):
    return len(os.listdir(folder)) if os.path.isdir(folder) else 0


def main():
    cli = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "build", "tanavo-cli")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    results = {}
    with tempfile.TemporaryDirectory() as d:
        dat = os.path.join(d, "mail.dat")
        size = dump(dat, mixed=True)
        for mode in ("tags", "full"):
            kta, kdp, ini, out = (os.path.join(d, mode + ext) for ext in (".kta", ".kdp", ".ini", "-out"))
            settings(kta, kdp, mode == "full")
            results[mode + " index"] = timed([cli, "index", dat, kta, kdp, ini], ini, runs)
            results[mode] = timed([cli, "export", ini, out], out, runs)
            results[mode + " records"] = count_files(os.path.join(out, "records"))
            results[mode + " attachments"] = count_files(os.path.join(out, "attachments"))
        worker = os.path.join(d, "export_email.py")
        open(worker, "w").write(PYTHON_WORKER)
        out = os.path.join(d, "python-out")
        results["python"] = timed([sys.executable, worker, dat, out, str(MAILS)], out, runs)
        results["python attachments"] = count_files(os.path.join(out, "attachments"))
        results["python decode"] = timed([sys.executable, worker, dat, "-", str(MAILS)], out, runs)
    for mode in ("tags", "full"):
        assert results[mode + " records"] == MAILS, (mode, results[mode + " records"])
    (a, am), (b, bm), (c, cm) = results["tags"], results["full"], results["python"]
    print("dump: %d mails, %.1f MiB; %d runs each; attachments written: a %d, b %d, c %d" %
          (MAILS, size / 1048576, runs, results["tags attachments"], results["full attachments"],
           results["python attachments"]))
    print("(a) tanavo-cli export, tags      : best %.3f s, median %.3f s" % (a, am))
    print("(b) tanavo-cli export, full MIME : best %.3f s, median %.3f s" % (b, bm))
    print("(c) python email, same work      : best %.3f s, median %.3f s" % (c, cm))
    print("b/a (goal <= 2x)                 : best %.2fx, median %.2fx" % (b / a, bm / am))
    print("c/b (goal >= 10x)                : best %.1fx, median %.1fx" % (c / b, cm / bm))
    (a, am), (b, bm), (c, cm) = results["tags index"], results["full index"], results["python decode"]
    print("decoding alone, nothing written:")
    print("(a) tanavo-cli index, tags       : best %.3f s, median %.3f s" % (a, am))
    print("(b) tanavo-cli index, full MIME  : best %.3f s, median %.3f s" % (b, bm))
    print("(c) python email, same decoding  : best %.3f s, median %.3f s" % (c, cm))
    print("b/a (goal <= 2x)                 : best %.2fx, median %.2fx" % (b / a, bm / am))
    print("c/b (goal >= 10x)                : best %.1fx, median %.1fx" % (c / b, cm / bm))


if __name__ == "__main__":
    main()

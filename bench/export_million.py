#!/usr/bin/env python3
"""`tanavo-cli export` at real size: a generated vMessage dump of short
SMS-like mails (bench/make_sms_dump.py, 1,000,000 by default) read with the
ready-made vMessage settings. Every command runs as a whole process, once, in
the same run; its time and peak memory (GNU time's maximum resident set):

  index    tanavo-cli index --max-records all (untimed share: the export's
           own loading of that index is part of the export below)
  export   tanavo-cli export of every record (goals: at most 20 times the
           index, under 100 MB)
  python   Python's email package writing the same files: every mail parsed,
           its Date, From and Subject decoded, records/FFFF/NNNNNN.txt, one
           records.tsv, the report's index page and pages of 1000 records, and
           SHA256SUMS over all of them
  chromium the time headless Chromium takes to open the index page and the
           last page of the report (and about:blank, its own start)

usage: bench/export_million.py [TANAVO_CLI [RECORDS [WORKDIR]]]
       (default build-rel/tanavo-cli, 1000000, a new folder under /tmp; the
       dump and the exports are never written into the source tree)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)

PYTHON_WORKER = r'''
import hashlib
import html
import os
import sys
from email import policy
from email.parser import BytesParser

data = open(sys.argv[1], "rb").read()
out = sys.argv[2]
parser = BytesParser(policy=policy.default)
sums = []

def write(relative, content):
    path = os.path.join(out, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(content)
    sums.append("%s  %s\n" % (hashlib.sha256(content).hexdigest(), relative))

tsv = ["番号\t一覧行\r\n"]
rows = []
for n, chunk in enumerate(data.split(b"BEGIN:VMSG\r\n")[1:], 1):
    body = chunk.split(b"BEGIN:VBODY\r\n", 1)[1].split(b"END:VBODY\r\n", 1)[0]
    msg = parser.parsebytes(body)
    date, sender, subject = str(msg["Date"]), str(msg["From"]), str(msg["Subject"])
    text = "%s\r\n%s\r\n%s\r\n\r\n%s" % (date, sender, subject, msg.get_content())
    name = "%04d/%06d.txt" % ((n - 1) // 1000 + 1, n)
    write("records/" + name, text.encode("cp932", "replace"))
    line = "%s %s %s" % (date, sender, subject)
    tsv.append("%d\t%s\r\n" % (n, line))
    rows.append('<tr><td>%d</td><td class="line">%s</td><td><a href="../records/%s">%s</a></td></tr>\n'
                % (n, html.escape(line), name, name))
write("records.tsv", "".join(tsv).encode("utf-8"))
pages = (len(rows) + 999) // 1000
links = []
for k in range(pages):
    nav = '<a href="../report.html">index</a>'
    if k > 0:
        nav += ' <a href="%04d.html">prev</a>' % k
    if k + 1 < pages:
        nav += ' <a href="%04d.html">next</a>' % (k + 2)
    page = "<!DOCTYPE html><meta charset=utf-8><nav>%s</nav><table>%s</table><nav>%s</nav>" % (
        nav, "".join(rows[k * 1000:(k + 1) * 1000]), nav)
    write("report/%04d.html" % (k + 1), page.encode("utf-8"))
    links.append('<a href="report/%04d.html">%04d</a>\n' % (k + 1, k + 1))
write("report.html", ("<!DOCTYPE html><meta charset=utf-8><p>%d</p>%s" % (len(rows), "".join(links))).encode("utf-8"))
with open(os.path.join(out, "SHA256SUMS"), "w") as f:
    f.writelines(sums)
'''


def measure(name, command):
    """Runs command once; (seconds, peak MiB), printed as a table row."""
    timing = tempfile.NamedTemporaryFile(delete=False)
    timing.close()
    start = time.monotonic()
    done = subprocess.run(["/usr/bin/time", "-f", "%e %M", "-o", timing.name] + command,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wall = time.monotonic() - start
    with open(timing.name) as f:
        fields = f.read().split()
    os.unlink(timing.name)
    peak = int(fields[-1]) / 1024 if fields else float("nan")
    print("| %-44s | %8.2f | %8.1f | %d |" % (name, wall, peak, done.returncode), flush=True)
    if done.returncode not in (0, 1):
        sys.stderr.write(done.stderr.decode("utf-8", "replace")[-2000:])
    return wall, peak


def chromium_command(profile, url):
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    if not browser:
        return None
    return [browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--user-data-dir=" + profile, "--dump-dom", url]


def main():
    cli = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(TOP, "build-rel", "tanavo-cli")
    records = int(sys.argv[2]) if len(sys.argv) > 2 else 1000000
    work = sys.argv[3] if len(sys.argv) > 3 else tempfile.mkdtemp(prefix="tanavo-export-bench.")
    os.makedirs(work, exist_ok=True)
    dump = os.path.join(work, "sms%d.vmg" % records)
    if not os.path.exists(dump):
        subprocess.run([sys.executable, os.path.join(HERE, "make_sms_dump.py"), dump, str(records)], check=True)
    kta = os.path.join(TOP, "presets", "vmessage.kta")
    kdp = os.path.join(TOP, "presets", "vmessage.kdp")
    ini = os.path.join(work, "sms.ini")
    exported = os.path.join(work, "export")
    written = os.path.join(work, "python")
    for folder in (exported, written):
        shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(written)
    capacity = ["--max-records", "all"]

    print("dump: %s (%d bytes, %d records)" % (dump, os.path.getsize(dump), records))
    print("| command | seconds | peak MiB | exit |")
    print("|---|---:|---:|---:|")
    index_s, _ = measure("tanavo-cli index " + " ".join(capacity), [cli, "index"] + capacity + [dump, kta, kdp, ini])
    export_s, export_mib = measure("tanavo-cli export", [cli, "export", ini, exported])
    python_s, python_mib = measure("python3 email package, the same files",
                                   [sys.executable, "-c", PYTHON_WORKER, dump, written])
    pages = len(os.listdir(os.path.join(exported, "report"))) if os.path.isdir(os.path.join(exported, "report")) else 0
    for name, url in (("chromium about:blank (its own start)", "about:blank"),
                      ("chromium report.html (index page)", "file://" + os.path.join(exported, "report.html")),
                      ("chromium report/%04d.html (last page)" % pages,
                       "file://" + os.path.join(exported, "report", "%04d.html" % pages))):
        command = chromium_command(os.path.join(work, "profile"), url)
        if command:
            measure(name, command)
    print("export / index: %.1f (goal at most 20); export peak %.1f MiB (goal under 100); "
          "python / export: %.1f (python peak %.1f MiB)"
          % (export_s / index_s, export_mib, python_s / export_s, python_mib))
    print("work folder (remove when done): %s" % work)


if __name__ == "__main__":
    main()

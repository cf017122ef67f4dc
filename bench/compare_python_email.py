#!/usr/bin/env python3
"""Side by side: Python's standard email package against `tanavo-cli index` on
the same generated dump of 2500 phone mails (about 20 KiB each, Date, From,
To and Subject with ISO-2022-JP encoded words, Base64 ISO-2022-JP bodies).

Python parses each message, decodes From and Subject to text and decodes the
body, once with the default policy and once with the older compat32 policy
(the parser most mail tools still use: headers stay raw until asked, which
makes it the faster of the two); tanavo-cli builds the index with Date, From
and Subject in the list line and writes the index file. All are timed as
whole processes, several runs each, in the same run; the best and the median
run are printed with their ratios.

usage: bench/compare_python_email.py [TANAVO_CLI] [RUNS]
       (default build-rel/tanavo-cli, 5 runs)
"""
import base64
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

MAILS = 2500
MAIL_BYTES = 20 * 1024
ORDER = ["japaneseCodeEndTag", "japaneseCodeStartTag", "nextLineHead", "lineEnd", "contentEndTag",
         "contentStartTag", "encodingEndTag", "encodingStartTag", "searchAfterPrevious", "applyToMultiple",
         "name", "rangeEndTag", "rangeStartTag", "kind", "dataTypeEndTag", "dataTypeStartTag"]

PYTHON_WORKER = r'''
import sys
from email import policy
from email.parser import BytesParser
data = open(sys.argv[1], "rb").read()
parser = BytesParser(policy=policy.default)
count = 0
for chunk in data.split(b"BEGIN:MAIL\r\n")[1:]:
    msg = parser.parsebytes(chunk.split(b"END:MAIL\r\n")[0])
    sender = str(msg["From"])
    subject = str(msg["Subject"])
    body = msg.get_content()
    count += 1
assert count == int(sys.argv[2]), count
'''

PYTHON_COMPAT32_WORKER = r'''
import sys
from email import policy
from email.header import decode_header, make_header
from email.parser import BytesParser
data = open(sys.argv[1], "rb").read()
parser = BytesParser(policy=policy.compat32)
count = 0
for chunk in data.split(b"BEGIN:MAIL\r\n")[1:]:
    msg = parser.parsebytes(chunk.split(b"END:MAIL\r\n")[0])
    sender = str(make_header(decode_header(msg["From"])))
    subject = str(make_header(decode_header(msg["Subject"])))
    body = msg.get_payload(decode=True).decode(msg.get_content_charset() or "ascii")
    count += 1
assert count == int(sys.argv[2]), count
'''


def jis_text(rng, n):
    chars = "".join(chr(0x3042 + rng.randrange(80)) for _ in range(n))
    return chars.encode("iso2022_jp")


def word(raw):
    return "=?ISO-2022-JP?B?" + base64.b64encode(raw).decode() + "?="


def utf8_word(text):
    return "=?UTF-8?B?" + base64.b64encode(text.encode()).decode() + "?="


def base64_lines(raw):
    b = base64.b64encode(raw).decode()
    return "".join(b[i:i + 76] + "\r\n" for i in range(0, len(b), 76))


def utf8_text(rng, n):
    # Kana, kanji and a few characters Shift_JIS lacks, as UTF-8 mail carries them.
    pool = [chr(0x3042 + i) for i in range(80)] + [chr(0x4E00 + i) for i in range(40)] + ["\u00e9", "\u20ac"]
    return "".join(rng.choice(pool) for _ in range(n))


BOUNDARY = "----=_Part_bench_0001"


def mixed_mail(rng, m, room):
    """Every fifth mail UTF-8, every fifth (offset by two) multipart with a
    JPEG-typed attachment; the rest as dump() always wrote them."""
    common = ("Date: 2006/%d/%d 09:15\r\n" % (1 + m % 12, 1 + m % 28))
    if m % 5 == 1:
        head = (common + "From: %s <user%d@example.jp>\r\n" % (utf8_word(utf8_text(rng, 4)), m % 97) +
                "To: %s <me@example.jp>\r\n" % utf8_word(utf8_text(rng, 3)) +
                "Subject: %s\r\n" % utf8_word(utf8_text(rng, 10)) +
                "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                "Content-Transfer-Encoding: base64\r\n\r\n")
        return head + base64_lines(utf8_text(rng, (room - len(head)) * 3 // 4 // 3).encode())
    if m % 5 == 3:
        head = (common + "From: %s <user%d@example.jp>\r\n" % (word(jis_text(rng, 4)), m % 97) +
                "To: %s <me@example.jp>\r\n" % word(jis_text(rng, 3)) +
                "Subject: %s\r\n" % word(jis_text(rng, 10)) +
                "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"%s\"\r\n\r\n" % BOUNDARY +
                "--%s\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n"
                "Content-Transfer-Encoding: base64\r\n\r\n" % BOUNDARY)
        text = base64_lines(jis_text(rng, (room - len(head)) // 4 * 3 // 8))
        photo = bytes(rng.randrange(256) for _ in range((room - len(head)) // 2 * 3 // 4))
        return (head + text + "--%s\r\nContent-Type: image/jpeg; name=\"photo%d.jpg\"\r\n"
                "Content-Transfer-Encoding: base64\r\n"
                "Content-Disposition: attachment; filename=\"photo%d.jpg\"\r\n\r\n" % (BOUNDARY, m, m) +
                base64_lines(photo) + "--%s--\r\n" % BOUNDARY)
    return None


def dump(path, mails=MAILS, mixed=False):
    """The generated dump; mixed adds UTF-8 and multipart mails (mixed_mail)."""
    rng = random.Random(1)
    out = bytearray()
    for m in range(mails):
        other = mixed_mail(rng, m, MAIL_BYTES) if mixed else None
        if other is not None:
            out += b"BEGIN:MAIL\r\n" + other.encode() + b"END:MAIL\r\n"
            continue
        head = ("BEGIN:MAIL\r\n"
                "Date: 2006/%d/%d 09:15\r\n" % (1 + m % 12, 1 + m % 28) +
                "From: %s <user%d@example.jp>\r\n" % (word(jis_text(rng, 4)), m % 97) +
                "To: %s <me@example.jp>\r\n" % word(jis_text(rng, 3)) +
                "Subject: %s\r\n" % word(jis_text(rng, 10)) +
                "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
                "Content-Transfer-Encoding: base64\r\n\r\n").encode()
        body = base64.b64encode(jis_text(rng, (MAIL_BYTES - len(head)) * 3 // 8)).decode()
        lines = "".join(body[i:i + 76] + "\r\n" for i in range(0, len(body), 76))
        out += head + lines.encode() + b"END:MAIL\r\n"
    open(path, "wb").write(bytes(out))
    return len(out)


def entry(kind, name, start, end, **more):
    e = {k: b"" for k in ORDER}
    e.update(kind=kind.encode(), name=name.encode(), rangeStartTag=start, rangeEndTag=end,
             applyToMultiple=b"N", searchAfterPrevious=b"N")
    e.update(more)
    return b"".join((e[k].replace(b" ", b"[SP]") + b" " * 50)[:50] for k in ORDER)


def settings(kta, kdp):
    def header(name):
        tag = (name + ": ").encode()
        return entry("Data", name, tag, b"\r\n", contentStartTag=tag, contentEndTag=b"\r\n")
    star = dict(dataTypeStartTag=b"*", dataTypeEndTag=b"*", encodingStartTag=b"*", encodingEndTag=b"*",
                japaneseCodeStartTag=b"*", japaneseCodeEndTag=b"*", contentStartTag=b"\r\n\r\n",
                contentEndTag=b"END:MAIL")
    record = entry("D_SET", "MAIL", b"BEGIN:MAIL", b"END:MAIL")
    open(kta, "wb").write(record + header("Date") + header("From") + header("Subject") +
                          entry("Data", "Body", b"Content-Type:", b"END:MAIL", **star) + record)
    template = b"??Date            ??  ??From                    ??  ??Subject                  ??"
    open(kdp, "wb").write(base64.b64encode(template) + b"\r\n" + base64.b64encode(b"??Body??\0"))


def timed(cmd, runs):
    times = []
    for _ in range(runs):
        t0 = time.perf_counter()
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
        times.append(time.perf_counter() - t0)
    return min(times), statistics.median(times)


def main():
    cli = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "build-rel", "tanavo-cli")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    with tempfile.TemporaryDirectory() as d:
        dat, kta, kdp, ini = (os.path.join(d, n) for n in ("mail.dat", "mail.kta", "mail.kdp", "mail.ini"))
        size = dump(dat)
        settings(kta, kdp)
        worker = os.path.join(d, "parse_email.py")
        open(worker, "w").write(PYTHON_WORKER)
        compat = os.path.join(d, "parse_email_compat32.py")
        open(compat, "w").write(PYTHON_COMPAT32_WORKER)
        py_best, py_median = timed([sys.executable, worker, dat, str(MAILS)], runs)
        c32_best, c32_median = timed([sys.executable, compat, dat, str(MAILS)], runs)
        ta_best, ta_median = timed([cli, "index", dat, kta, kdp, ini], runs)
        lines = open(ini, "rb").read().count(b"\r\n")
        assert lines == 4 + MAILS, lines
    print("dump: %d mails, %.1f MiB; %d runs each" % (MAILS, size / 1048576, runs))
    print("python email, default policy : best %.3f s, median %.3f s" % (py_best, py_median))
    print("python email, compat32       : best %.3f s, median %.3f s" % (c32_best, c32_median))
    print("tanavo-cli index             : best %.3f s, median %.3f s" % (ta_best, ta_median))
    print("ratio to default policy      : best %.1fx, median %.1fx" % (py_best / ta_best, py_median / ta_median))
    print("ratio to compat32            : best %.1fx, median %.1fx" % (c32_best / ta_best, c32_median / ta_median))


if __name__ == "__main__":
    main()

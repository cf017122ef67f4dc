#!/usr/bin/env python3
"""Full mail decoding against Python's email package, field by field.

For every message under the corpus folder (default ../shared/corpus/mail,
relative to the repository), bench/tools/mime_full_dump prints what the full
decoding makes of it; Python's email package (policy.default) decodes the
same file. Compared: Date, From, To, Subject, the body text, and each
attachment's name and bytes. The body is the first text/plain part that is
not an attachment, else the first text/html made plain; every other leaf part
is an attachment (an attached message counts as one, kept whole).

Texts are compared in Shift_JIS, the only text this system holds: Python's
text is encoded character by character (code page 932, else JIS X 0208, else
the geta mark), so a character that Shift_JIS cannot hold is 〓 on both
sides. White space is not compared (two fields that differ only in line
ends, runs of spaces or the spaces Python puts around encoded words agree),
since mail programs differ there and a reader does not see it.

usage: bench/compare_full_mime.py [MIME_FULL_DUMP] [CORPUS] [-v]
"""
import base64
import hashlib
import email.header
import html
import html.parser
import json
import os
import re
import subprocess
import sys
from email import policy
from email.parser import BytesParser

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXTENSIONS = {"text/plain": "txt", "text/html": "html", "image/jpeg": "jpg", "image/gif": "gif",
              "image/png": "png", "application/pdf": "pdf", "message/rfc822": "eml",
              "text/calendar": "ics", "text/x-vcard": "vcf", "text/vcard": "vcf"}


def to_sjis(text):
    out = bytearray()
    for ch in text:
        for codec in ("cp932", "shift_jis"):
            try:
                out += ch.encode(codec)
                break
            except UnicodeEncodeError:
                pass
        else:
            out += "〓".encode("cp932")
    return bytes(out)


def loose(b):
    b = b.replace(b"\r\n", b"\n").replace(b"\r", b"\n")
    lines = [re.sub(rb"[ \t]+", b" ", l).strip() for l in b.split(b"\n")]
    return b"\n".join(l for l in lines if l).strip()


class TextOfHtml(html.parser.HTMLParser):
    BLOCKS = {"br", "p", "div", "tr", "li", "h1", "h2", "h3", "h4", "table", "blockquote", "hr", "ul", "ol", "pre"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.out, self.skip = [], 0

    def handle_starttag(self, tag, attrs):
        if tag in ("script", "style", "head", "title"):
            self.skip += 1
        elif tag in self.BLOCKS:
            self.out.append("\n")

    def handle_endtag(self, tag):
        if tag in ("script", "style", "head", "title"):
            self.skip = max(0, self.skip - 1)
        elif tag in self.BLOCKS:
            self.out.append("\n")

    def handle_data(self, data):
        if not self.skip:
            self.out.append(re.sub(r"[ \t\r\n\f]+", " ", data.replace("\xa0", " ")))


def html_text(s):
    p = TextOfHtml()
    p.feed(s)
    p.close()
    return "".join(p.out)


def leaves(part, in_digest=False):
    ctype = part.get_content_type()
    if ctype.startswith("multipart/") and part.is_multipart():
        for sub in part.get_payload():
            yield from leaves(sub, ctype == "multipart/digest")
    else:
        yield part


def header(msg, name):
    """The header as written, encoded words decoded (email.header), raw
    8-bit text read as UTF-8 (RFC 6532) when it is UTF-8."""
    v = next((value for key, value in msg.raw_items() if key.lower() == name.lower()), None)
    if v is None:
        return ""
    try:
        v = v.encode("ascii", "surrogateescape").decode("utf-8")
    except UnicodeError:
        pass
    try:
        return str(email.header.make_header(email.header.decode_header(v)))
    except Exception as e:  # an encoded word Python cannot decode
        return "<python: %s>" % type(e).__name__


def python_fields(path):
    raw = open(path, "rb").read()
    msg = BytesParser(policy=policy.default).parsebytes(raw)
    plain = BytesParser(policy=policy.compat32).parsebytes(raw)
    f = {h.lower(): to_sjis(header(plain, h)) for h in ("Date", "From", "To", "Subject")}
    parts = list(leaves(msg))
    body = None
    for want in ("text/plain", "text/html"):
        for p in parts:
            if p.get_content_type() == want and not p.is_attachment():
                body = p
                break
        if body is not None:
            break
    f["body"] = b""
    if body is not None:
        try:
            text = body.get_content()
        except Exception as e:
            text = "<python: %s>" % type(e).__name__
        if body.get_content_type() == "text/html":
            text = html_text(text)
        f["body"] = to_sjis(text)
    atts = []
    for p in parts:
        if p is body:
            continue
        message = None
        if p.get_content_maintype() == "message" and p.is_multipart():
            # Python keeps an attached message parsed, not as bytes: both
            # sides are compared through Python's own parser and writer.
            message = p.get_content_type()
            data = b"".join(m.as_bytes() for m in p.get_payload())
        else:
            data = p.get_payload(decode=True) or b""
        try:
            name = p.get_filename()
        except Exception:
            name = None
        name = to_sjis(name.strip()) if name else ("part%d.%s" % (len(atts) + 1, EXTENSIONS.get(p.get_content_type(), "bin"))).encode()
        atts.append((name, hashlib.sha256(data).hexdigest(), len(data), message))
    f["attachments"] = atts
    return f


def reparsed(data, ctype):
    """Our bytes of an attached message as Python writes them after parsing."""
    wrapper = BytesParser(policy=policy.default).parsebytes(
        b"Content-Type: " + ctype.encode() + b"\r\n\r\n" + data)
    payload = wrapper.get_payload()
    parts = payload if isinstance(payload, list) else []
    return hashlib.sha256(b"".join(m.as_bytes() for m in parts)).hexdigest()


def ours(dump, paths):
    out = subprocess.run([dump] + paths, capture_output=True, check=True).stdout
    result = {}
    for line in out.decode("utf-8", "surrogateescape").splitlines():
        r = json.loads(line)
        conv = lambda s: s.encode("utf-8", "surrogateescape").decode("utf-8", "replace").encode("cp932", "replace")
        f = {k: conv(r[k]) for k in ("date", "from", "to", "subject", "body")}
        f["attachments"] = [(conv(a["name"]), a["sha256"], a["size"], base64.b64decode(a["base64"]))
                            for a in r["attachments"]]
        result[r["file"]] = f
    return result


def main():
    args = [a for a in sys.argv[1:] if a != "-v"]
    verbose = "-v" in sys.argv
    dump = args[0] if args else os.path.join(TOP, "build", "mime_full_dump")
    corpus = args[1] if len(args) > 1 else os.path.join(TOP, "..", "..", "shared", "corpus", "mail")
    paths = sorted(os.path.join(d, n) for d, _, ns in os.walk(corpus) for n in ns
                   if n != "SOURCES.md" and os.path.getsize(os.path.join(d, n)) > 0)
    mine = ours(dump, paths)
    table = {k: [0, 0] for k in ("date", "from", "to", "subject", "body", "attachment name", "attachment bytes")}
    disagreements = []
    for path in paths:
        py, me = python_fields(path), mine[path]
        rel = os.path.relpath(path, corpus)
        for k in ("date", "from", "to", "subject", "body"):
            a, b = loose(py[k]), loose(me[k])
            same = a == b or re.sub(rb"\s+", b"", a) == re.sub(rb"\s+", b"", b)
            table[k][0] += same
            table[k][1] += 1
            if not same:
                disagreements.append((rel, k, a[:120], b[:120]))
        pa, ma = py["attachments"], me["attachments"]
        for i in range(max(len(pa), len(ma))):
            p = pa[i] if i < len(pa) else None
            m = ma[i] if i < len(ma) else None
            if p is not None and m is not None and p[3]:
                m = (m[0], reparsed(m[3], p[3]))
            for k, idx in (("attachment name", 0), ("attachment bytes", 1)):
                same = p is not None and m is not None and loose(p[idx] if idx == 0 else p[idx].encode()) == \
                    loose(m[idx] if idx == 0 else m[idx].encode())
                table[k][0] += same
                table[k][1] += 1
                if not same:
                    disagreements.append((rel, "%s %d" % (k, i + 1), p and p[idx], m and m[idx]))
    agree = sum(v[0] for v in table.values())
    total = sum(v[1] for v in table.values())
    print("%d messages" % len(paths))
    print("%-17s %6s %6s %8s" % ("field", "agree", "of", "share"))
    for k, (a, n) in table.items():
        print("%-17s %6d %6d %7.1f%%" % (k, a, n, 100.0 * a / n if n else 100.0))
    print("%-17s %6d %6d %7.1f%%" % ("all", agree, total, 100.0 * agree / total))
    print("\ndisagreements:")
    for rel, k, a, b in disagreements:
        print("  %s %s" % (rel, k))
        if verbose:
            print("    python: %r\n    ours:   %r" % (a, b))


if __name__ == "__main__":
    main()

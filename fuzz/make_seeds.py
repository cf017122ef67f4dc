#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into DIR/TARGET/, made from the
bundled samples and from inputs of the native tests.

usage: fuzz/make_seeds.py DIR"""
import base64
import glob
import os
import sys

top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
out = sys.argv[1]


def read(path):
    with open(path, "rb") as f:
        return f.read()


def seed(target, name, data):
    d = os.path.join(out, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data[:65536])


samples = os.path.join(top, "samples")
pairs = []
for kta in sorted(glob.glob(os.path.join(samples, "*.kta"))):
    stem = os.path.splitext(kta)[0]
    name = os.path.basename(stem)
    seed("kta_fuzz", name + ".kta", read(kta))
    if os.path.exists(stem + ".kdp"):
        seed("kdp_fuzz", name + ".kdp", read(stem + ".kdp"))
    if os.path.exists(stem + ".dat"):
        settings, mobile = read(kta), read(stem + ".dat")[:32768]
        n = len(settings)
        seed("walk_fuzz", name + ".bin", bytes([n >> 8 & 0xFF, n & 0xFF]) + settings + mobile)
        pairs.append((name, mobile))

# Mail bodies as the Body entry of the mail settings delivers them.
for name, mobile in pairs:
    for i, part in enumerate(mobile.split(b"BEGIN:MAIL")[1:12]):
        at = part.find(b"Content-Type:")
        if at >= 0:
            end = part.find(b"END:MAIL")
            seed("item_fuzz", "%s-%02d" % (name, i), part[at:end + 8 if end >= 0 else len(part)])

seed("item_fuzz", "multipart", b'Content-Type: multipart/mixed; boundary="b"\r\n\r\n--b\r\n'
     b"Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n\x1b$B$3$s\x1b(B\r\n--b\r\n"
     b'Content-Type: image/jpeg; name="=?ISO-2022-JP?B?GyRCPEw/PxsoQg==?=.jpg"\r\n'
     b"Content-Transfer-Encoding: base64\r\n\r\n/9j/4AAQ\r\n--b--\r\nEND:MAIL")
# A program as a photo, and names with lead bytes before separators, control
# bytes and device names.
seed("item_fuzz", "disguised", b'Content-Type: multipart/mixed; boundary="b"\r\n\r\n--b\r\n'
     b'Content-Type: image/jpeg; name="photo.jpg"\r\n\r\nTVqQAAMAAAAEAAAA\r\n--b\r\n'
     b'Content-Type: image/jpeg; name="\x81/x\x81\r\x81\x1b.txt"\r\n\r\nIyEvYmluL3No\r\n--b\r\n'
     b'Content-Type: image/jpeg; name="CON .txt"\r\n\r\nUEsDBA==\r\n--b--\r\nEND:MAIL')

# Hostile mail: a boundary of dashes over dashes (every byte begins an
# occurrence), tens of thousands of parameters, a nested multipart past the
# part cap beside 999 siblings, and HTML whose text hides behind "<" and
# comments a browser reads otherwise.
dashes = b"-" * 4000
seed("item_fuzz", "dash-boundary", b'Content-Type: multipart/mixed; boundary="' + dashes + b'"\r\n\r\n'
     + b"-" * 60000 + b"\r\nEND:MAIL")
seed("mime_full_fuzz", "dash-boundary", b'Content-Type: multipart/mixed; boundary="' + dashes + b'"\r\n\r\n'
     + b"-" * 60000)
seed("mime_full_fuzz", "dash-boundary-70", b'Content-Type: multipart/mixed; boundary="' + b"-" * 70 + b'"\r\n\r\n'
     + (b"-" * 1000 + b"\r\n") * 60)
seed("mime_full_fuzz", "parameters", b"Content-Type: application/octet-stream"
     + b"".join(b"; n%d*=x" % i for i in range(6000)) + b"\r\n\r\nz")
seed("mime_full_fuzz", "nested-past-cap", b"Content-Type: multipart/mixed; boundary=o\r\n\r\n"
     + b"--o\r\n\r\ns\r\n" * 999 + b"--o\r\nContent-Type: multipart/mixed; boundary=i\r\n\r\n"
     + b"--i\r\n\r\nn\r\n" * 50 + b"--i--\r\n--o--\r\n")
seed("mime_full_fuzz", "html-text", b"Content-Type: text/html\r\n\r\n<html><head><title>t</title>"
     b"<!-->5 < 10 <3 <!--->Meet at the station at 9<!-- a --!><a title='x>y'>l</a><textarea><b></textarea>"
     b"<script>if (a<b) x()</script><!x")

index = (b"((C:\\work\\mail.dat))\r\n((C:\\work\\mail.kta))\r\n((C:\\work\\mail.kdp))\r\n((3))\r\n"
         b"((1))2006/01/10 first[[1]]\r\n((2))line\r\nwith break[[320]]\r\n((3))x[[y]][[&H1F]]\r\n")
seed("index_file_fuzz", "three", index)
seed("index_file_fuzz", "empty", b"((\\.))\r\n((\\.))\r\n((\\.))\r\n((0))\r\n")
# The network and device namespaces in their NT spellings.
for i, path in enumerate([b"\\??\\UNC\\host\\share\\x.vmg", b"\\??\\GLOBALROOT\\Device\\Mup\\h\\s\\x",
                          b"//?/Global/unc/h/s/x", b"\\??\\C:\\x.dat", b"\\\\.\\Mup\\h\\s"]):
    seed("index_file_fuzz", "namespace%d" % i, index.replace(b"C:\\work\\mail.dat", path, 1))

codecs = {
    0: b"QUJD\r\nREVG\r\nRw==\r\n=?*",
    1: b"=E3=81=82 soft=\r\nbreak =3d =4G =ZZ =",
    2: b"\x1b$B$3$s$K$A$O\x1b(B ascii \x1b$@!!\x1b(J",
    3: b"A\r\nB\r\r\n\n\x00\xff",
    4: b"  -12.5e3 &H7FFFFFFF &O777",
    5: b"abc\x95\x5cxyz",
}
for op, data in codecs.items():
    seed("codec_fuzz", "op%d" % op, bytes([op]) + data)

seed("index_render_fuzz", "small", bytes(range(40)) + b"<r>x:a;\r\n<g>x:b;</g></r><r>x:c;</r>")
for name, mobile in pairs:
    seed("index_render_fuzz", name, b"\x05\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09" * 4 + mobile[:4096])
print("seeds written to", out)

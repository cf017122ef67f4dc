#!/usr/bin/env python3
"""Writes the bundled samples: a small synthetic phone mail file with
extraction settings (.kta) and display settings (.kdp) that fit it."""
import base64
import os

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "samples")
os.makedirs(here, exist_ok=True)


def word(text):
    return "=?ISO-2022-JP?B?" + base64.b64encode(text.encode("iso2022_jp")).decode() + "?="


mails = [
    ("2006/01/10 09:15", "山田太郎", "taro@example.jp", "打ち合わせの件", "明日の打ち合わせは十時からです。\r\nよろしくお願いします。", None),
    ("2006/01/11 18:40", "佐藤花子", "hanako@example.jp", "写真を送ります", "旅行の写真です。", ("photo.txt", "旅行の写真の代わりのテキストです。")),
    ("2006/01/12 07:05", "鈴木一郎", "ichiro@example.jp", "おはよう", "今日は雨です。傘を忘れずに。", None),
]

out = bytearray()
for date, name, addr, subject, body, attachment in mails:
    rec = b"BEGIN:MAIL\r\n"
    rec += ("Date: " + date + "\r\n").encode()
    rec += ("From: " + word(name) + " <" + addr + ">\r\n").encode()
    rec += ("Subject: " + word(subject) + "\r\n").encode()
    if attachment is None:
        rec += b"Content-Type: text/plain; charset=ISO-2022-JP\r\n"
        rec += b"Content-Transfer-Encoding: 7bit\r\n\r\n"
        rec += body.encode("iso2022_jp") + b"\r\n"
    else:
        fname, content = attachment
        rec += b'Content-Type: multipart/mixed; boundary="b1"\r\n\r\n'
        rec += b"--b1\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n"
        rec += b"Content-Transfer-Encoding: 7bit\r\n\r\n" + body.encode("iso2022_jp") + b"\r\n"
        rec += ('--b1\r\nContent-Type: text/plain; name="' + fname + '"\r\n').encode()
        rec += b"Content-Transfer-Encoding: base64\r\n\r\n"
        rec += base64.encodebytes(content.encode("cp932")).replace(b"\n", b"\r\n")
        rec += b"--b1--\r\n"
    rec += b"END:MAIL\r\n"
    out += rec
open(os.path.join(here, "mail.dat"), "wb").write(bytes(out))

# Extraction settings: sixteen 50-byte fields per entry, in the file's order.
ORDER = ["japaneseCodeEndTag", "japaneseCodeStartTag", "nextLineHead", "lineEnd", "contentEndTag",
         "contentStartTag", "encodingEndTag", "encodingStartTag", "searchAfterPrevious", "applyToMultiple",
         "name", "rangeEndTag", "rangeStartTag", "kind", "dataTypeEndTag", "dataTypeStartTag"]


def entry(kind, name, start, end, **more):
    e = {k: b"" for k in ORDER}
    e.update(kind=kind.encode(), name=name.encode("cp932"), rangeStartTag=start, rangeEndTag=end,
             applyToMultiple=b"N", searchAfterPrevious=b"N")
    for k, v in more.items():
        e[k] = v
    data = b""
    for k in ORDER:
        v = e[k].replace(b" ", b"[SP]")
        data += (v + b" " * 50)[:50]
    return data


kta = b"".join([
    entry("D_SET", "MAIL", b"BEGIN:MAIL", b"END:MAIL"),
    entry("Data", "Date", b"Date:", b"\r\n", contentStartTag=b"Date: ", contentEndTag=b"\r\n"),
    entry("Data", "From", b"From:", b"\r\n", contentStartTag=b"From: ", contentEndTag=b"\r\n"),
    entry("Data", "Subject", b"Subject:", b"\r\n", contentStartTag=b"Subject: ", contentEndTag=b"\r\n"),
    entry("Data", "Body", b"Content-Type:", b"END:MAIL", dataTypeStartTag=b"*", dataTypeEndTag=b"*",
          encodingStartTag=b"*", encodingEndTag=b"*", japaneseCodeStartTag=b"*", japaneseCodeEndTag=b"*",
          contentStartTag=b"\r\n\r\n", contentEndTag=b"END:MAIL"),
    entry("D_SET", "MAIL", b"BEGIN:MAIL", b"END:MAIL"),
])
open(os.path.join(here, "mail.kta"), "wb").write(kta)

template = "??Date????????????  ??Subject????????????????????".encode("cp932")
layout = "日付　: ??Date??????????????\r\n差出人: ??From????????????????????????????????\r\n件名　: ??Subject??????????????????????????????\r\n\r\n??Body??????????????????????????????????????????????????????????????????????\r\n".encode("cp932")
kdp = base64.b64encode(template) + b"\r\n" + base64.b64encode(layout + b"\0")
open(os.path.join(here, "mail.kdp"), "wb").write(kdp)
print("samples written to", os.path.normpath(here))

#!/usr/bin/env python3
"""Writes the ready-made settings into presets/: for vMessage mail, vCard
address books, vCalendar schedules and MMDF mailboxes, each extraction
settings (.kta) and display settings (.kdp) with a small synthetic sample
file of the same base name to try them on. Every person, address and text in
the samples is invented.

Same bytes on every run; nothing but the Python standard library."""
import base64
import os
import quopri

from settings_files import entry, kdp, placeholder

top = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
presets = os.path.join(top, "presets")
os.makedirs(presets, exist_ok=True)

CRLF = "\r\n"


def read(relative):
    with open(os.path.join(top, relative), "rb") as f:
        return f.read()


PHOTO_JPG = read("tests/data/samples/photo.jpg")
CAKE_JPG = read("tests/data/samples/cake.jpg")


def b64_lines(data, eol=b"\r\n"):
    b = base64.b64encode(data)
    return b"".join(b[i:i + 76] + eol for i in range(0, len(b), 76))


def qp(data, eol=b"\r\n"):
    """Quoted-Printable with soft breaks before column 76; line ends of the
    text kept as line ends."""
    return eol.join(quopri.encodestring(line) for line in data.split(b"\r\n"))


def b_word(text, charset):
    codec = {"ISO-2022-JP": "iso2022_jp", "UTF-8": "utf-8", "shift_jis": "cp932"}[charset]
    return "=?%s?B?%s?=" % (charset, base64.b64encode(text.encode(codec)).decode())


def q_word(text):
    raw = text.encode("utf-8")
    return "=?UTF-8?Q?" + "".join(chr(c) if chr(c).isalnum() and c < 128 else "=%02X" % c for c in raw) + "?="


def jis(text):
    return b"\r\n".join(line.encode("iso2022_jp") for line in text.split(CRLF))


# ---------------------------------------------------------------- settings files

FULL_MIME = b"*MIME*"


def full_mail_items(start, end, eol):
    """The five Data entries of a mail preset, each the whole message between
    start and end decoded in full; the entry's name picks the field. The
    content tags are what the entry shows when full decoding is turned off
    (the header line or the raw body), and keep lint content."""
    items = []
    for name in ("Date", "From", "To", "Subject"):
        items.append(entry("Data", name, start, end, japaneseCodeStartTag=FULL_MIME,
                           contentStartTag=name.encode() + b": ", contentEndTag=eol))
    items.append(entry("Data", "Body", start, end, japaneseCodeStartTag=FULL_MIME,
                       contentStartTag=eol + eol, contentEndTag=end))
    return items


def property_item(name, prop, multiple=False):
    """One vCard / vCalendar property line: the value after the first ":",
    Quoted-Printable decoded when its parameters say so. A line that ends in
    "=" (a Quoted-Printable soft break) runs on to the next and is joined.
    A repeated property ends at the CR alone: a matched end tag is consumed,
    and the LF left over begins the next line's tag."""
    if multiple:
        return entry("Data", name, b"\n" + prop, b"\r", True, encodingStartTag=b"ENCODING=",
                     encodingEndTag=b"PRINTABLE", contentStartTag=b":", contentEndTag=b"\r")
    return entry("Data", name, b"\r\n" + prop, b"\r\n", lineEnd=b"=",
                 encodingStartTag=b"ENCODING=", encodingEndTag=b"PRINTABLE",
                 contentStartTag=b":", contentEndTag=b"\r\n")


def write(name, data):
    with open(os.path.join(presets, name), "wb") as f:
        f.write(data)


MAIL_KDP = kdp(
    placeholder("Date", 33) + " " + placeholder("From", 44) + " " + placeholder("Subject", 50),
    "日付　: " + placeholder("Date", 40) + CRLF +
    "差出人: " + placeholder("From", 60) + CRLF +
    "宛先　: " + placeholder("To", 60) + CRLF +
    "件名　: " + placeholder("Subject", 70) + CRLF +
    "-" * 70 + CRLF +
    "??Body??" + CRLF)

# ---------------------------------------------------------------- mails

BOUNDARY = "tanavo-preset-"


def headers(date, sender, to, subject, extra=""):
    return ("Date: " + date + CRLF + "From: " + sender + CRLF + "To: " + to + CRLF +
            "Subject: " + subject + CRLF + "MIME-Version: 1.0" + CRLF + extra).encode("ascii")


def text_mail(date, sender, to, subject, body, charset, encoding):
    codec = {"ISO-2022-JP": "iso2022_jp", "UTF-8": "utf-8", "Shift_JIS": "cp932"}[charset]
    raw = jis(body) if codec == "iso2022_jp" else body.encode(codec)
    data = {"7bit": lambda b: b + b"\r\n", "base64": b64_lines, "quoted-printable": lambda b: qp(b) + b"\r\n"}
    return (headers(date, sender, to, subject,
                    "Content-Type: text/plain; charset=%s\r\nContent-Transfer-Encoding: %s\r\n\r\n" %
                    (charset, encoding)) + data[encoding](raw))


def attachment_mail(date, sender, to, subject, body, name, data):
    b = BOUNDARY + "mixed"
    return (headers(date, sender, to, subject, 'Content-Type: multipart/mixed; boundary="%s"\r\n\r\n' % b) +
            ("--%s\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n" %
             b).encode() + jis(body) + b"\r\n" +
            ('--%s\r\nContent-Type: image/jpeg; name="%s"\r\nContent-Transfer-Encoding: base64\r\n'
             'Content-Disposition: attachment; filename="%s"\r\n\r\n' % (b, name, name)).encode() +
            b64_lines(data) + ("--%s--\r\n" % b).encode())


def html_mail(date, sender, to, subject, text, html):
    """A decorated mail: multipart/related holding multipart/alternative
    (plain text and HTML, both UTF-8) and the picture the HTML shows."""
    rel, alt = BOUNDARY + "related", BOUNDARY + "alt"
    return (headers(date, sender, to, subject, 'Content-Type: multipart/related; boundary="%s"\r\n\r\n' % rel) +
            ('--%s\r\nContent-Type: multipart/alternative; boundary="%s"\r\n\r\n' % (rel, alt)).encode() +
            ("--%s\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n" %
             alt).encode() + qp(text.encode("utf-8")) + b"\r\n" +
            ("--%s\r\nContent-Type: text/html; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n" %
             alt).encode() + b64_lines(html.encode("utf-8")) +
            ("--%s--\r\n" % alt).encode() +
            ('--%s\r\nContent-Type: image/jpeg; name="cake.jpg"\r\nContent-Transfer-Encoding: base64\r\n'
             'Content-ID: <cake@example.jp>\r\n\r\n' % rel).encode() + b64_lines(CAKE_JPG) +
            ("--%s--\r\n" % rel).encode())


OWNER = b_word("鈴木一郎", "ISO-2022-JP") + " <ichiro@example.jp>"
MAILS = [
    text_mail("Tue, 10 Jan 2006 09:15:00 +0900", b_word("山田太郎", "ISO-2022-JP") + " <taro@example.jp>", OWNER,
              b_word("打ち合わせの件", "ISO-2022-JP"),
              "鈴木さん\r\n\r\n明日の打ち合わせは十時からです。\r\n\r\n山田", "ISO-2022-JP", "7bit"),
    text_mail("Mon, 16 Jan 2006 07:05:00 +0900", b_word("高橋由紀", "UTF-8") + " <yuki@example.ne.jp>", OWNER,
              b_word("おはよう", "UTF-8"), "今日は雨です。傘を忘れずに。", "UTF-8", "base64"),
    text_mail("Sat, 28 Jan 2006 15:47:00 +0900", b_word("田中次郎", "shift_jis") + " <jiro@example.co.jp>",
              OWNER, b_word("来週の予定", "shift_jis"),
              "来週の月曜日は出張のため不在です。\r\n急ぎの用件は携帯までお願いします。", "Shift_JIS",
              "quoted-printable"),
    text_mail("Fri, 10 Feb 2006 13:14:00 +0900", "yuki@example.ne.jp", OWNER, q_word("ランチ") + " " +
              q_word("のお誘い"), "明日のランチ、駅前のお店でどうですか？", "UTF-8", "quoted-printable"),
    attachment_mail("Sat, 11 Feb 2006 18:40:00 +0900", b_word("佐藤花子", "ISO-2022-JP") + " <hanako@example.jp>",
                    OWNER, b_word("写真を送ります", "ISO-2022-JP"),
                    "この前の旅行の写真です。\r\nまた行きましょう！", "photo.jpg", PHOTO_JPG),
    html_mail("Tue, 14 Feb 2006 19:20:00 +0900", b_word("佐藤花子", "UTF-8") + " <hanako@example.jp>", OWNER,
              b_word("誕生日おめでとう", "UTF-8"),
              "お誕生日おめでとうございます！\r\nケーキの写真です。",
              "<html><body><p>お誕生日<b>おめでとう</b>ございます！</p>"
              "<p>ケーキの写真です。</p><img src=\"cid:cake@example.jp\"></body></html>"),
    # A picture character that Shift_JIS cannot hold: shown as 〓 and counted.
    text_mail("Wed, 15 Feb 2006 08:02:00 +0900", OWNER, b_word("佐藤花子", "UTF-8") + " <hanako@example.jp>",
              b_word("Re: 誕生日おめでとう", "UTF-8"), "ありがとう\U0001F382\r\nケーキおいしそう！", "UTF-8",
              "base64"),
]

# ---------------------------------------------------------------- vMessage


def vmsg(mail, box, sender_email):
    return (b"BEGIN:VMSG\r\nVERSION:1.1\r\nX-IRMC-STATUS:READ\r\nX-IRMC-BOX:" + box + b"\r\n"
            b"BEGIN:VCARD\r\nVERSION:2.1\r\nN:\r\nTEL:\r\nEMAIL:" + sender_email + b"\r\nEND:VCARD\r\n"
            b"BEGIN:VENV\r\nBEGIN:VBODY\r\n" + mail + b"END:VBODY\r\nEND:VENV\r\nEND:VMSG\r\n")


def sender_address(mail):
    line = mail.split(b"\r\nFrom: ", 1)[1].split(b"\r\n", 1)[0]
    return line.rsplit(b"<", 1)[-1].rstrip(b">")


def box(mail):
    return b"SENTBOX" if sender_address(mail) == b"ichiro@example.jp" else b"INBOX"


write("vmessage.vmg", b"".join(vmsg(m, box(m), sender_address(m)) for m in MAILS))
write("vmessage.kta", b"".join(
    [entry("D_SET", "VMSG", b"BEGIN:VMSG", b"END:VMSG")] +
    full_mail_items(b"BEGIN:VBODY\r\n", b"END:VBODY", b"\r\n") +
    [entry("D_SET", "VMSG", b"BEGIN:VMSG", b"END:VMSG")]))
write("vmessage.kdp", MAIL_KDP)

# ---------------------------------------------------------------- MMDF

# Each message between two lines of four 0x01 bytes, LF line ends as a Unix
# mailbox keeps them. The tags are the four bytes alone, so that a mailbox
# moved through a CR LF system is cut the same.
FRAME = b"\x01\x01\x01\x01"


def unix(mail):
    return mail.replace(b"\r\n", b"\n")


write("mmdf.mmdf", b"".join(FRAME + b"\n" + unix(m) + FRAME + b"\n" for m in MAILS[:5]))
write("mmdf.kta", b"".join(
    [entry("D_SET", "MMDF", FRAME, FRAME)] + full_mail_items(FRAME, FRAME, b"\n") +
    [entry("D_SET", "MMDF", FRAME, FRAME)]))
write("mmdf.kdp", MAIL_KDP)

# ---------------------------------------------------------------- vCard


def sjis_qp(text):
    """A Shift_JIS value as phones write Quoted-Printable: every byte =XX,
    soft line breaks after at most 75 characters."""
    enc = "".join("=%02X" % c for c in text.encode("cp932"))
    lines, line = [], ""
    for i in range(0, len(enc), 3):
        if len(line) + 3 > 75:
            lines.append(line + "=")
            line = ""
        line += enc[i:i + 3]
    return CRLF.join(lines + [line])


# family, given, reading (half-width kana), phones (type, number), mails,
# note, version, whether the names are written in Quoted-Printable.
BOOK = [
    ("山田", "太郎", ("ﾔﾏﾀﾞ", "ﾀﾛｳ"), [("CELL", "090-1111-2222"), ("HOME", "03-3333-4444")],
     ["taro@example.jp"], "大学の同級生。", "2.1", False),
    ("佐藤", "花子", ("ｻﾄｳ", "ﾊﾅｺ"), [("CELL", "080-5555-6666")], ["hanako@example.jp", "hanako.sato@example.co.jp"],
     "旅行仲間。\r\n写真が趣味。毎年春に一緒にお花見に行く。連絡は携帯メールの方が早い。", "2.1", True),
    ("田中", "次郎", ("ﾀﾅｶ", "ｼﾞﾛｳ"),
     [("CELL", "090-7777-8888"), ("WORK", "06-1234-5678"), ("FAX", "06-1234-5679")],
     ["jiro@example.co.jp"], "", "2.1", False),
    ("サンプル商事", "", ("ｻﾝﾌﾟﾙｼｮｳｼﾞ", ""), [("WORK", "03-9999-0000")], ["sales@sample-shoji.example.jp"],
     "事務用品の注文先。締め日は毎月二十日。", "3.0", False),
    ("高橋", "由紀", ("ﾀｶﾊｼ", "ﾕｷ"), [("CELL", "070-2222-3333")], [], "", "3.0", False),
]


def vcard(family, given, reading, phones, mails, note, version, encoded):
    lines = ["BEGIN:VCARD", "VERSION:" + version]
    n = family + ";" + given + ";;;"
    sj = ";CHARSET=SHIFT_JIS" if version == "2.1" else ""
    if encoded:
        lines.append("N;ENCODING=QUOTED-PRINTABLE;CHARSET=SHIFT_JIS:" + sjis_qp(n))
        lines.append("FN;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:" + sjis_qp(family + given))
    else:
        lines.append("N" + sj + ":" + n)
        lines.append("FN" + sj + ":" + family + given)
    lines.append("SOUND;X-IRMC-N" + sj + ":" + reading[0] + ";" + reading[1] + ";;;")
    for kind, number in phones:
        lines.append(("TEL;" + kind if version == "2.1" else "TEL;TYPE=" + kind) + ":" + number)
    for m in mails:
        lines.append(("EMAIL;INTERNET" if version == "2.1" else "EMAIL;TYPE=INTERNET") + ":" + m)
    if note:
        lines.append("NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=SHIFT_JIS:" + sjis_qp(note) if encoded or CRLF in note
                     else "NOTE" + sj + ":" + note)
    lines.append("END:VCARD")
    return (CRLF.join(lines) + CRLF).encode("cp932")


# Address books exported by Android phones: vCard 4.0, UTF-8 by definition
# (4.0 has no CHARSET parameter), no Quoted-Printable and no SOUND line.
# family, given, phones (type, number), mails, note.
BOOK4 = [
    ("伊藤", "美咲", [("cell", "090-4444-5555")], ["misaki.ito@example.jp"], "誕生日は五月。ケーキ🎂が好き。"),
    ("渡辺", "健太", [("cell", "080-6666-7777"), ("work", "045-123-4567")], ["kenta@example.co.jp"], ""),
]


def vcard4(family, given, phones, mails, note):
    lines = ["BEGIN:VCARD", "VERSION:4.0", "N:" + family + ";" + given + ";;;", "FN:" + family + " " + given]
    lines += ["TEL;TYPE=" + kind + ":" + number for kind, number in phones]
    lines += ["EMAIL;TYPE=home:" + m for m in mails]
    if note:
        lines.append("NOTE:" + note)
    lines.append("END:VCARD")
    return (CRLF.join(lines) + CRLF).encode("utf-8")


write("vcard.vcf", b"".join(vcard(*p) for p in BOOK) + b"".join(vcard4(*p) for p in BOOK4))
write("vcard.kta", b"".join([
    entry("D_SET", "VCARD", b"BEGIN:VCARD", b"END:VCARD"),
    property_item("Name", b"N"),  # the first line that starts with N: N comes first in a phone's card
    property_item("FullName", b"FN"),
    property_item("Reading", b"SOUND;X-IRMC-N"),
    property_item("Tel", b"TEL", multiple=True),
    property_item("Email", b"EMAIL", multiple=True),
    property_item("Note", b"NOTE"),
    entry("D_SET", "VCARD", b"BEGIN:VCARD", b"END:VCARD"),
]))
write("vcard.kdp", kdp(
    placeholder("FullName", 24) + " " + placeholder("Reading", 24) + " " + placeholder("Tel", 16),
    "氏名　: " + placeholder("FullName", 30) + CRLF +
    "読み　: " + placeholder("Reading", 30) + CRLF +
    "姓;名 : " + placeholder("Name", 30) + CRLF +
    "".join("電話　: " + placeholder("Tel", 20) + CRLF for _ in range(4)) +
    "".join("メール: " + placeholder("Email", 40) + CRLF for _ in range(3)) +
    "メモ　: " + placeholder("Note", 60) + CRLF))

# ---------------------------------------------------------------- vCalendar

# summary, start, end, location, description (Quoted-Printable when it
# holds a line break).
EVENTS = [
    ("打ち合わせ", "20060111T100000", "20060111T110000", "本社三階会議室", "資料を持参する。"),
    ("大阪出張", "20060130T080000", "20060131T190000", "大阪支店", "新幹線の切符は前日に受け取る。\r\n宿泊はホテル梅田。"),
    ("お花見", "20060401T120000", "20060401T160000", "中央公園", ""),
    ("歯医者", "20060412T183000", "20060412T190000", "駅前歯科", "定期検診。"),
]


def vevent(summary, start, end, location, description):
    lines = ["BEGIN:VEVENT", "SUMMARY;CHARSET=SHIFT_JIS:" + summary, "DTSTART:" + start, "DTEND:" + end,
             "LOCATION;CHARSET=SHIFT_JIS:" + location]
    if CRLF in description:
        lines.append("DESCRIPTION;ENCODING=QUOTED-PRINTABLE;CHARSET=SHIFT_JIS:" + sjis_qp(description))
    elif description:
        lines.append("DESCRIPTION;CHARSET=SHIFT_JIS:" + description)
    lines += ["AALARM:" + start, "END:VEVENT"]
    return lines


# A to-do among the events: not an event, so no record.
TODO = ["BEGIN:VTODO", "SUMMARY;CHARSET=SHIFT_JIS:年賀状の準備", "DUE:20061215T000000", "END:VTODO"]
calendar = ["BEGIN:VCALENDAR", "VERSION:1.0", "PRODID:-//Example Phone//Schedule//JA"]
for i, e in enumerate(EVENTS):
    calendar += (TODO if i == 2 else []) + vevent(*e)
calendar.append("END:VCALENDAR")
write("vcalendar.vcs", (CRLF.join(calendar) + CRLF).encode("cp932"))
write("vcalendar.kta", b"".join([
    entry("D_SET", "VEVENT", b"BEGIN:VEVENT", b"END:VEVENT"),
    property_item("Summary", b"SUMMARY"),
    property_item("Start", b"DTSTART"),
    property_item("End", b"DTEND"),
    property_item("Location", b"LOCATION"),
    property_item("Description", b"DESCRIPTION"),
    entry("D_SET", "VEVENT", b"BEGIN:VEVENT", b"END:VEVENT"),
]))
write("vcalendar.kdp", kdp(
    placeholder("Start", 18) + " " + placeholder("Summary", 30) + " " + placeholder("Location", 24),
    "予定　: " + placeholder("Summary", 40) + CRLF +
    "開始　: " + placeholder("Start", 20) + CRLF +
    "終了　: " + placeholder("End", 20) + CRLF +
    "場所　: " + placeholder("Location", 40) + CRLF +
    "内容　: " + placeholder("Description", 60) + CRLF))

# ---------------------------------------------------------------- vNote

# body, created, last modified: the memo pad of a phone, one note per
# VNOTE, the body in Quoted-Printable as phones write it.
NOTES = [
    ("買い物：牛乳、卵、食パン", "20060105T083000", "20060105T083000"),
    ("会議メモ\r\n来月の予算案を金曜までにまとめる。\r\n出席者：山田、佐藤", "20060210T150000", "20060211T091500"),
    ("駐車場は三階のＢ区画", "20060318T190000", "20060318T190000"),
]


def vnote(body, created, modified):
    lines = ["BEGIN:VNOTE", "VERSION:1.1", "BODY;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:" + sjis_qp(body),
             "DCREATED:" + created, "LAST-MODIFIED:" + modified, "END:VNOTE"]
    return (CRLF.join(lines) + CRLF).encode("cp932")


write("vnote.vnt", b"".join(vnote(*n) for n in NOTES))
write("vnote.kta", b"".join([
    entry("D_SET", "VNOTE", b"BEGIN:VNOTE", b"END:VNOTE"),
    property_item("Body", b"BODY"),
    property_item("Created", b"DCREATED"),
    property_item("Modified", b"LAST-MODIFIED"),
    entry("D_SET", "VNOTE", b"BEGIN:VNOTE", b"END:VNOTE"),
]))
write("vnote.kdp", kdp(
    placeholder("Modified", 18) + " " + placeholder("Body", 50),
    "作成　: " + placeholder("Created", 20) + CRLF +
    "更新　: " + placeholder("Modified", 20) + CRLF +
    CRLF + placeholder("Body", 60) + CRLF))

print("presets written to", presets)

#!/usr/bin/env python3
"""Writes the bundled samples into samples/: a synthetic phone mail dump
(mail.dat) and a synthetic address book (address.dat), each with extraction
settings (.kta) and display settings (.kdp) that fit it. Also writes the
attachment files the mails carry into tests/data/samples/, with a list of
which mail carries which, so that tests can compare decoded attachments.

Same bytes on every run; nothing but the Python standard library."""
import base64
import os

from settings_files import entry, kdp, placeholder

top = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
samples = os.path.join(top, "samples")
originals = os.path.join(top, "tests", "data", "samples")
os.makedirs(samples, exist_ok=True)
os.makedirs(originals, exist_ok=True)

CRLF = "\r\n"


def sjis(text):
    return text.encode("cp932")


def jis(text):
    """ISO-2022-JP, line by line, so that every line ends in ASCII."""
    return b"\r\n".join(line.encode("iso2022_jp") for line in text.split(CRLF))


def word(text):
    return "=?ISO-2022-JP?B?" + base64.b64encode(text.encode("iso2022_jp")).decode() + "?="


def base64_lines(data):
    b = base64.b64encode(data)
    return b"".join(b[i:i + 76] + b"\r\n" for i in range(0, len(b), 76))


def quoted_printable(data):
    """Quoted-Printable with CR LF line ends and soft breaks before column 76."""
    out = []
    for line in data.split(b"\r\n"):
        enc = ""
        for i, c in enumerate(line):
            last = i == len(line) - 1
            if (33 <= c <= 126 and c != 61) or (c == 32 and not last):
                piece = chr(c)
            else:
                piece = "=%02X" % c
            if len(enc) + len(piece) > 75:
                out.append(enc + "=")
                enc = ""
            enc += piece
        out.append(enc)
    return CRLF.join(out).encode("ascii")


# ---------------------------------------------------------------- attachments

# Two small pictures made once with ImageMagick (a landscape and a cake),
# kept here as bytes so that every run writes the same files.
PHOTO_JPG = base64.b64decode(
    "/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8UHRofHh0aHBwgJC4nICIsIxwcKDcpLDAx"
    "NDQ0Hyc5PTgyPC4zNDL/2wBDAQkJCQwLDBgNDRgyIRwhMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIy"
    "MjIyMjIyMjL/wAARCAAwAEADASIAAhEBAxEB/8QAGgABAAMBAQEAAAAAAAAAAAAAAAMEBgIFAf/EAC0QAAEDAwIDBwQDAAAAAAAA"
    "AAEAAgMEERIFIQYxkRMiMkFCUYEUcXKhM1LR/8QAGQEAAgMBAAAAAAAAAAAAAAAAAAIBBAUD/8QAIREAAQQBAwUAAAAAAAAAAAAA"
    "AQACAxEEBRMhEjFBYXH/2gAMAwEAAhEDEQA/AN3gmCtxxsMjQ8kMuMiPILYUtNSRRNNPHHjbZwFyflaks+34WNDjbt80sJgmC381"
    "PBMw9tHG4W3LgNvlY+rihbVSNgOUQPdKIsjc8KZsXa5u1QwRsRcbAXVns1JEA0H3VbUs12JjOmYLIU4mMJpQxxoKm6Et8QsvmCvS"
    "AFtlF2a56TqD83G3Xto3Xo+wmzMVsEvQ02FawXTDJGbxvc0+7TZTODWML3kNaBckmwC8DUOLNMo8mwuNVKPKPw3/AC/y6sSTMYLe"
    "aSGm8le098sv8kj3/k4lcYLDy8Z6i6ozjZCyMcoy29/uefSy9Ok43p3WbWUj4z/aI5DobW/arM1CAmrpL1tJ7rS4JgoaPV9Nr7Cn"
    "q4nOPJhOLuh3XVbqmn6ff6qqjY4ei93dBurO6wtuxSah3tSYJgszW8bwtu2hpXPO9nymw6Dn1Cz1ZxDqdaSH1LmMPoi7o/W5+VUf"
    "qEMYpvPxI57fqrVup1uouyq6l8ttw0mzR9gNgqiIsEuLjZXAm0RESqEREQhEREIX/9k=")
CAKE_JPG = base64.b64decode(
    "/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8UHRofHh0aHBwgJC4nICIsIxwcKDcpLDAx"
    "NDQ0Hyc5PTgyPC4zNDL/2wBDAQkJCQwLDBgNDRgyIRwhMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIy"
    "MjIyMjIyMjL/wAARCAAwAEADASIAAhEBAxEB/8QAGQAAAwEBAQAAAAAAAAAAAAAAAAUGAwcE/8QALhAAAQMCAQsEAgMAAAAAAAAA"
    "AQACAwQRBQYSExQXITFBZqTiQlFTkhWBYXGh/8QAGAEAAwEBAAAAAAAAAAAAAAAAAAIDAQT/xAAfEQACAgEFAQEAAAAAAAAAAAAA"
    "AQIRUQMSEyExBDL/2gAMAwEAAhEDEQA/AO6oQhchYEKfypyphyXp6aSSlkqHTvLQ1pzQALXJPvv3DmvZiOLSU+TUmLUdLJUO0Alj"
    "hIs4g24j+Abn+istFl8+o4xlXUnSGiEkyUxmqx7Ao66rpdXlc4t3AhrwPU2++3L9Ly5O5Y0+UWJ1lFFSTQmnGc1z/W29t49JvyRu"
    "Qz+XVTn1+fSlQhC05wWkTQ69ws14cRlki0ejkcy975ptfgmh6ao7nSGFRQ0tXGI6mnimYHBwbI0OAI4Gx5rXRs9lOa1UfPL9yjWq"
    "j55fuVeo4H4J1VlJo2e3+rGKhpIJJZIaeKN8rs6RzGgF59yRxKQ61UfPL9yjWqj55fuUVHAcE8lDIxrW3A5rJLcPmlkncHyvcM29"
    "nOJ5hMlGfoji49MEvxRpLY3AbgSCmC5PsV6g7LzSbnF2kPp0nbZbIUTsV6g7LzRsV6g7LzT8ssF+SGS2QonYr1B2XmjYr1B2Xmjl"
    "lgOSGTomGNOme624Ntf9hNFyfYr1B2Xmum4XRfjMIoqDSaTVoGQ5+bbOzWgXtyvZI5OT7RHU2t2mf//Z")


def pdf(lines):
    """A one-page PDF document with the given lines of ASCII text."""
    text = "BT /F1 14 Tf 56 780 Td 20 TL\n"
    for line in lines:
        text += "(" + line.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)") + ") '\n"
    text += "ET\n"
    objects = [
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R"
        " /Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length %d >>\nstream\n%sendstream" % (len(text), text),
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    ]
    out = "%PDF-1.4\n"
    offsets = []
    for i, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += "%d 0 obj\n%s\nendobj\n" % (i, body)
    xref = len(out)
    out += "xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += "".join("%010d 00000 n \n" % o for o in offsets)
    out += "trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    return out.encode("ascii")


ESTIMATE_PDF = pdf(["ESTIMATE No. 2006-0214", "", "Sample Trading Co., Ltd.", "",
                    "Printer paper A4 (10 boxes)      32,000 yen",
                    "Toner cartridge (2)              18,000 yen",
                    "Total (tax included)             52,500 yen"])
SCHEDULE_PDF = pdf(["TRIP SCHEDULE  2006/03/18 - 03/19", "", "Day 1  09:00  Tokyo station",
                    "       12:30  Lunch in Atami", "       15:00  Hotel check-in",
                    "Day 2  10:00  Boat tour", "       17:00  Back in Tokyo"])

# (file in tests/data/samples, content type, bytes)
FILES = {
    "photo.jpg": ("image/jpeg", PHOTO_JPG),
    "cake.jpg": ("image/jpeg", CAKE_JPG),
    "estimate.pdf": ("application/pdf", ESTIMATE_PDF),
    "schedule.pdf": ("application/pdf", SCHEDULE_PDF),
}

# ---------------------------------------------------------------- mail

OWNER = ("鈴木一郎", "ichiro@example.jp")
PEOPLE = {
    "taro": ("山田太郎", "taro.yamada@example.jp"),
    "hanako": ("佐藤花子", "hanako@example.jp"),
    "jiro": ("田中次郎", "jiro.tanaka@example.co.jp"),
    "yuki": ("高橋由紀", "yuki@example.ne.jp"),
    "shop": ("サンプル商事", "sales@sample-shoji.example.jp"),
}

# date, from (None: the owner), to (None: the owner), subject, body, how the
# body is sent, attachments as (name shown, file).
MAILS = [
    ("2006/01/10 09:15", "taro", None, "打ち合わせの件",
     "鈴木さん\r\n\r\n明日の打ち合わせは十時からです。\r\n会議室はいつもの三階です。\r\n\r\n山田", "7bit", []),
    ("2006/01/10 12:02", None, "taro", "Re: 打ち合わせの件",
     "山田さん\r\n\r\n了解しました。資料を持って行きます。\r\n\r\n鈴木", "7bit", []),
    ("2006/01/13 18:40", "hanako", None, "写真を送ります",
     "この前の旅行の写真です。\r\nまた行きましょう！", "multipart", [("photo.jpg", "photo.jpg")]),
    ("2006/01/16 07:05", "yuki", None, "おはよう",
     "今日は雨です。傘を忘れずに。", "base64", []),
    ("2006/01/20 21:30", None, "hanako", "Re: 写真を送ります",
     "ありがとう！きれいに撮れていますね。", "7bit", []),
    ("2006/01/25 10:11", "shop", None, "お見積りのご送付",
     "鈴木様\r\n\r\nいつもお世話になっております。\r\nご依頼のお見積りをお送りいたします。\r\nご確認のほど、よろしくお願い申し上げます。\r\n\r\nサンプル商事　営業部",
     "multipart", [("見積書.pdf", "estimate.pdf")]),
    ("2006/01/28 15:47", "jiro", None, "来週の予定について",
     "来週の月曜日は出張のため不在です。\r\n急ぎの用件は携帯までお願いします。", "qp", []),
    ("2006/02/01 08:30", None, "jiro", "Re: 来週の予定について",
     "承知しました。出張お気をつけて。", "7bit", []),
    ("2006/02/03 19:20", "hanako", None, "誕生日おめでとう",
     "お誕生日おめでとうございます！\r\nケーキの写真を送ります。", "multipart", [("cake.jpg", "cake.jpg")]),
    ("2006/02/08 11:55", "taro", None, "議事録",
     "先日の打ち合わせの議事録です。\r\n一、次回は二月二十日\r\n二、資料は各自準備\r\n三、予算は来月決定", "base64-sjis", []),
    ("2006/02/10 13:14", "yuki", None, "ランチ",
     "明日のランチ、駅前のお店でどうですか？", "qp", []),
    ("2006/02/10 13:40", None, "yuki", "Re: ランチ",
     "いいですね。十二時に駅前で。", "7bit", []),
    ("2006/02/15 09:00", "shop", None, "ご注文の確認",
     "ご注文ありがとうございました。\r\n商品は二月十七日に発送いたします。", "base64", []),
    ("2006/02/20 17:25", "jiro", None, "出張報告",
     "大阪出張の報告です。\r\n先方とは三月末の納品で合意しました。\r\n詳細は明日お話しします。", "7bit", []),
    ("2006/02/24 22:10", "hanako", None, "三月の旅行の日程",
     "三月の旅行の日程表を作りました。\r\n見てみてください。", "multipart", [("schedule.pdf", "schedule.pdf"), ("photo.jpg", "photo.jpg")]),
    ("2006/03/01 08:45", None, "hanako", "Re: 三月の旅行の日程",
     "日程表ありがとう。楽しみです！", "7bit", []),
    ("2006/03/06 12:00", "taro", None, "資料の件",
     "資料の締め切りは今週金曜日です。\r\nよろしくお願いします。", "qp-jis", []),
    ("2006/03/10 18:05", "yuki", None, "今度の週末は晴れるそうです　お花見に行きませんか",
     "今度の週末は晴れるそうです。\r\n公園の桜がそろそろ見ごろです。", "7bit", []),
    ("2006/03/14 10:30", "shop", None, "請求書の再送",
     "先日お送りした見積書を再送いたします。", "multipart", [("estimate.pdf", "estimate.pdf")]),
    ("2006/03/20 20:20", None, "taro", "お礼",
     "今日はありがとうございました。\r\nまたよろしくお願いします。", "base64", []),
    ("2006/03/27 07:50", "jiro", None, "遅れます",
     "電車が遅れていて、十分ほど遅れます。", "7bit", []),
    ("2006/04/03 16:16", "hanako", None, "お花見の写真",
     "お花見、楽しかったね。\r\n写真を二枚送ります。", "multipart", [("photo.jpg", "photo.jpg"), ("cake.jpg", "cake.jpg")]),
    ("2006/04/10 09:09", "yuki", None, "新年度",
     "新年度もよろしくお願いします。\r\n部署が変わりました。内線は四一二です。", "base64-sjis", []),
    ("2006/04/12 14:44", None, "yuki", "Re: 新年度",
     "こちらこそよろしくお願いします。", "7bit", []),
]

BOUNDARY = "tanavo-part"


def person(key):
    name, addr = OWNER if key is None else PEOPLE[key]
    return word(name) + " <" + addr + ">"


def subject_line(subject):
    """A long subject is folded: one encoded word per half, the second on a
    continuation line that starts with a space."""
    if len(subject) <= 20:
        head = subject.split(" ", 1) if subject.startswith("Re: ") else [subject]
        return "Subject: " + ("Re: " + word(head[1]) if len(head) == 2 else word(subject)) + CRLF
    half = len(subject) // 2
    return "Subject: " + word(subject[:half]) + CRLF + " " + word(subject[half:]) + CRLF


def text_part(body, how):
    """Headers and body of a text: 7bit ISO-2022-JP, Base64, Quoted-Printable."""
    if how == "7bit":
        return (b"Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n" +
                jis(body) + b"\r\n")
    if how == "base64":
        return (b"Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                base64_lines(jis(body)))
    if how == "base64-sjis":
        return (b"Content-Type: text/plain; charset=Shift_JIS\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                base64_lines(sjis(body)))
    if how == "qp":
        return (b"Content-Type: text/plain; charset=\"Shift_JIS\"\r\n"
                b"Content-Transfer-Encoding: quoted-printable\r\n\r\n" + quoted_printable(sjis(body)) + b"\r\n")
    if how == "qp-jis":
        return (b"Content-Type: text/plain; charset=ISO-2022-JP\r\n"
                b"Content-Transfer-Encoding: quoted-printable\r\n\r\n" + quoted_printable(jis(body)) + b"\r\n")
    raise ValueError(how)


def attachment_part(shown, file):
    ctype, data = FILES[file]
    name = shown if shown.isascii() else word(shown)
    return (("--" + BOUNDARY + CRLF).encode() +
            ("Content-Type: " + ctype + "; name=\"" + name + "\"" + CRLF).encode() +
            b"Content-Transfer-Encoding: base64\r\n" +
            ("Content-Disposition: attachment; filename=\"" + name + "\"" + CRLF + CRLF).encode() +
            base64_lines(data))


def mail(date, sender, to, subject, body, how, attachments):
    rec = b"BEGIN:MAIL\r\n"
    rec += ("Date: " + date + CRLF).encode()
    rec += ("From: " + person(sender) + CRLF).encode()
    rec += ("To: " + person(to) + CRLF).encode()
    rec += subject_line(subject).encode()
    rec += b"MIME-Version: 1.0\r\n"
    if how == "multipart":
        rec += ("Content-Type: multipart/mixed; boundary=\"" + BOUNDARY + "\"" + CRLF + CRLF).encode()
        rec += ("--" + BOUNDARY + CRLF).encode() + text_part(body, "7bit")
        for shown, file in attachments:
            rec += attachment_part(shown, file)
        rec += ("--" + BOUNDARY + "--" + CRLF).encode()
    else:
        rec += text_part(body, how)
    return rec + b"END:MAIL\r\n"


# ---------------------------------------------------------------- settings files



def header_item(name, tag, continued=False):
    """A header line "Tag: value" ended by CR LF, as text; continued: lines that
    start with a space belong to it."""
    more = {"nextLineHead": b" "} if continued else {}
    return entry("Data", name, tag + b":", b"\r\n", contentStartTag=tag + b": ", contentEndTag=b"\r\n", **more)


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


write(samples, "mail.dat", b"".join(mail(*m) for m in MAILS))
write(samples, "mail.kta", b"".join([
    entry("D_SET", "MAIL", b"BEGIN:MAIL", b"END:MAIL"),
    header_item("Date", b"Date"),
    header_item("From", b"From"),
    header_item("To", b"To"),
    header_item("Subject", b"Subject", continued=True),
    entry("Data", "Body", b"Content-Type:", b"END:MAIL", dataTypeStartTag=b"*", dataTypeEndTag=b"*",
          encodingStartTag=b"*", encodingEndTag=b"*", japaneseCodeStartTag=b"*", japaneseCodeEndTag=b"*",
          contentStartTag=b"\r\n\r\n", contentEndTag=b"END:MAIL"),
    entry("D_SET", "MAIL", b"BEGIN:MAIL", b"END:MAIL"),
]))
write(samples, "mail.kdp", kdp(
    placeholder("Date", 18) + "  " + placeholder("From", 46) + "  " + placeholder("Subject", 50),
    "日付　: " + placeholder("Date", 20) + CRLF +
    "差出人: " + placeholder("From", 50) + CRLF +
    "宛先　: " + placeholder("To", 50) + CRLF +
    "件名　: " + placeholder("Subject", 60) + CRLF +
    "-" * 60 + CRLF +
    "??Body??" + CRLF))

with open(os.path.join(originals, "mail-attachments.txt"), "w", encoding="utf-8", newline="\n") as f:
    f.write("# mail (1-based record of samples/mail.dat)\tslot\tname shown\tfile here\n")
    for n, m in enumerate(MAILS, 1):
        for slot, (shown, file) in enumerate(m[6], 1):
            f.write("%d\t%d\t%s\t%s\n" % (n, slot, shown, file))
for file, (_, data) in FILES.items():
    write(originals, file, data)

# ---------------------------------------------------------------- address book

# name, reading, phone numbers, mail, addresses (kind, postcode, street in one
# or two lines), company with (section, title) or None, note lines.
PEOPLE_BOOK = [
    ("山田太郎", "やまだたろう", ["090-1111-2222", "03-3333-4444"], "taro.yamada@example.jp",
     [("自宅", "100-0001", ["東京都千代田区千代田一丁目", "一番一号"])],
     ("株式会社サンプル", "営業部", "課長"), ["大学の同級生。", "毎年一月に新年会。"]),
    ("佐藤花子", "さとうはなこ", ["080-5555-6666"], "hanako@example.jp",
     [("自宅", "220-0012", ["神奈川県横浜市西区みなとみらい二丁目"]),
      ("実家", "390-0811", ["長野県松本市中央一丁目", "五番十号"])],
     None, ["旅行仲間。"]),
    ("田中次郎", "たなかじろう", ["090-7777-8888", "06-1234-5678", "06-1234-5679"], "jiro.tanaka@example.co.jp",
     [("勤務先", "530-0001", ["大阪府大阪市北区梅田三丁目"])],
     ("田中工業株式会社", "技術部", "主任"), ["出張の多い人。", "携帯の方がつながりやすい。"]),
    ("高橋由紀", "たかはしゆき", ["070-2222-3333"], "yuki@example.ne.jp",
     [("自宅", "150-0001", ["東京都渋谷区神宮前四丁目", "二番三号　サンプルハイツ二〇一"])],
     ("株式会社サンプル", "総務部", "係長"), []),
    ("サンプル商事", "さんぷるしょうじ", ["03-9999-0000", "03-9999-0001"], "sales@sample-shoji.example.jp",
     [("本社", "103-0027", ["東京都中央区日本橋二丁目"])],
     None, ["事務用品の注文先。", "締め日は毎月二十日。"]),
    ("伊藤美咲", "いとうみさき", ["090-4444-5555"], "misaki@example.jp",
     [], None, ["料理教室の先生。"]),
]


def book_entry(name, reading, tels, mailaddr, addresses, company, notes):
    lines = ["BEGIN:ENTRY", "NAME:" + name, "YOMI:" + reading]
    lines += ["TEL:" + t for t in tels]
    lines.append("MAIL:" + mailaddr)
    for kind, zipcode, street in addresses:
        lines += ["BEGIN:ADR", "TYPE:" + kind, "ZIP:" + zipcode, "STREET:" + street[0]]
        lines += [" " + s for s in street[1:]]
        lines.append("END:ADR")
    if company:
        corp, section, title = company
        lines += ["BEGIN:WORK", "COMPANY:" + corp, "BEGIN:DEPT", "SECTION:" + section, "TITLE:" + title,
                  "END:DEPT", "END:WORK"]
    if notes:
        lines.append("NOTE:" + notes[0])
        lines += [" " + n for n in notes[1:]]
    lines.append("END:ENTRY")
    return sjis(CRLF.join(lines) + CRLF)


def field(name, tag, multiple=False, continued=False):
    more = {"nextLineHead": b" "} if continued else {}
    return entry("Data", name, tag + b":", b"\r\n", multiple, contentStartTag=tag + b":", contentEndTag=b"\r\n",
                 **more)


write(samples, "address.dat", b"".join(book_entry(*p) for p in PEOPLE_BOOK))
write(samples, "address.kta", b"".join([
    entry("D_SET", "ENTRY", b"BEGIN:ENTRY", b"END:ENTRY"),
    field("Name", b"NAME"),
    field("Yomi", b"YOMI"),
    field("Tel", b"TEL", multiple=True),
    field("Mail", b"MAIL"),
    entry("Group", "Address", b"BEGIN:ADR", b"END:ADR", multiple=True),
    field("Type", b"TYPE"),
    field("Zip", b"ZIP"),
    field("Street", b"STREET", continued=True),
    entry("Group", "Address", b"BEGIN:ADR", b"END:ADR", multiple=True),
    entry("Group", "Work", b"BEGIN:WORK", b"END:WORK"),
    field("Company", b"COMPANY"),
    entry("Group", "Dept", b"BEGIN:DEPT", b"END:DEPT"),
    field("Section", b"SECTION"),
    field("Title", b"TITLE"),
    entry("Group", "Dept", b"BEGIN:DEPT", b"END:DEPT"),
    entry("Group", "Work", b"BEGIN:WORK", b"END:WORK"),
    field("Note", b"NOTE", continued=True),
    entry("D_SET", "ENTRY", b"BEGIN:ENTRY", b"END:ENTRY"),
]))
address_lines = "".join(
    "住所　: " + placeholder("Type", 10) + placeholder("Zip", 10) + placeholder("Street", 60) + CRLF
    for _ in range(2))
write(samples, "address.kdp", kdp(
    placeholder("Name", 16) + "  " + placeholder("Yomi", 20) + "  " + placeholder("Tel", 16),
    "氏名　: " + placeholder("Name", 20) + "（" + placeholder("Yomi", 20) + "）" + CRLF +
    "".join("電話　: " + placeholder("Tel", 20) + CRLF for _ in range(3)) +
    "メール: " + placeholder("Mail", 40) + CRLF +
    address_lines +
    "勤務先: " + placeholder("Company", 30) + placeholder("Section", 12) + placeholder("Title", 10) + CRLF +
    "メモ　: " + placeholder("Note", 60) + CRLF))

print("samples written to", samples, "and attachments to", originals)

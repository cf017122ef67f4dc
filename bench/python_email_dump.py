#!/usr/bin/env python3
"""Python's email package on the mail dump that mime_full_dump --write-dump
writes: each mail parsed, Date, From, To and Subject decoded, the body
found and decoded. For whole-process timing against mime_full_dump --dump:

  build/mime_full_dump --write-dump /tmp/dump.txt
  /usr/bin/time build/mime_full_dump --dump /tmp/dump.txt
  /usr/bin/time python3 bench/python_email_dump.py /tmp/dump.txt
"""
import sys
from email import policy
from email.parser import BytesParser
data = open(sys.argv[1], "rb").read()
p = BytesParser(policy=policy.default)
n = 0
for chunk in data.split(b"BEGIN:MAIL\r\n")[1:]:
    m = p.parsebytes(chunk.split(b"END:MAIL\r\n")[0])
    str(m["Date"]); str(m["From"]); str(m["To"]); str(m["Subject"])
    b = m.get_body(("plain", "html"))
    b.get_content() if b is not None else ""
    n += 1
print(n)

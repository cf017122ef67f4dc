#!/usr/bin/env python3
"""Writes a vMessage dump of short SMS-like mails for the index benchmark at
real size: by default 1,000,000 records of about 300 bytes (about 300 MB),
read with the ready-made vMessage settings (presets/vmessage.kta and .kdp).

    python3 bench/make_sms_dump.py /tmp/sms.vmg [RECORDS]

Write it outside the source tree (it is never committed) and see
bench/cli_bench.sh for the commands it is measured with.
"""
import sys

def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    out = sys.argv[1]
    records = int(sys.argv[2]) if len(sys.argv) == 3 else 1000000
    with open(out, "wb") as f:
        chunk = []
        for n in range(1, records + 1):
            day = 1 + n % 28
            chunk.append(
                b"BEGIN:VMSG\r\nVERSION:1.1\r\nX-IRMC-STATUS:READ\r\nX-IRMC-BOX:INBOX\r\n"
                b"BEGIN:VCARD\r\nVERSION:2.1\r\nTEL:090%08d\r\nEND:VCARD\r\n"
                b"BEGIN:VENV\r\nBEGIN:VBODY\r\n"
                b"Date: Tue, %02d Jan 2006 %02d:%02d:00 +0900\r\n"
                b"From: user%d@example.jp\r\nSubject: sms %d\r\n\r\n"
                b"See you at the station at %d. Message number %d.\r\n"
                b"END:VBODY\r\nEND:VENV\r\nEND:VMSG\r\n"
                % (n % 100000000, day, n % 24, n % 60, n % 997, n, n % 24, n))
            if len(chunk) == 10000:
                f.write(b"".join(chunk))
                chunk = []
        f.write(b"".join(chunk))

if __name__ == "__main__":
    main()

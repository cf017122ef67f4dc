// A generated dump of phone mail with extraction settings that fit it, for
// the benchmarks of index creation and of the export.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/workspace.h"
#include "codec/codec.h"
#include "../tests/support/entries.h"

namespace tanavo {

constexpr std::size_t kMailBytes = 20 * 1024;
constexpr std::size_t kBodyColumns = 76;
constexpr std::size_t kAttachmentBytes = 16 * 1024;

inline void AppendWrapped(std::string& mail, const std::string& base64) {
  for (std::size_t i = 0; i < base64.size(); i += kBodyColumns) mail += base64.substr(i, kBodyColumns) + "\r\n";
}

inline std::string Word(const std::string& jis) { return "=?ISO-2022-JP?B?" + EncodeBase64(jis) + "?="; }

// ISO-2022-JP text of n double-byte characters from the kana rows.
inline std::string JisText(std::size_t n, std::uint32_t seed) {
  std::string s = "\x1b$B";
  for (std::size_t i = 0; i < n; ++i) {
    seed = seed * 1664525u + 1013904223u;
    s += static_cast<char>(0x24 + (seed >> 31));
    s += static_cast<char>(0x21 + (seed >> 24) % 0x53);
  }
  return s + "\x1b(B";
}

// One D_SET per mail of about 20 KiB: Date, From, To and Subject (ISO-2022-JP
// encoded words), a Base64 ISO-2022-JP body. With attachmentEvery n, every
// n-th mail is multipart with one Base64 attachment of kAttachmentBytes.
inline std::string MailDump(int mails, int attachmentEvery = 0) {
  std::string file;
  file.reserve(static_cast<std::size_t>(mails) * (kMailBytes + 512));
  for (int m = 0; m < mails; ++m) {
    const bool attached = attachmentEvery > 0 && m % attachmentEvery == 0;
    const std::uint32_t seed = static_cast<std::uint32_t>(m) * 7919u + 1u;
    std::string mail = "BEGIN:MAIL\r\n";
    mail += "Date: 2006/" + std::to_string(1 + m % 12) + "/" + std::to_string(1 + m % 28) + " 09:15\r\n";
    mail += "From: " + Word(JisText(4, seed)) + " <user" + std::to_string(m % 97) + "@example.jp>\r\n";
    mail += "To: " + Word(JisText(3, seed + 1)) + " <me@example.jp>\r\n";
    mail += "Subject: " + Word(JisText(10, seed + 2)) + "\r\n";
    if (attached) mail += "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n";
    mail += "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: base64\r\n\r\n";
    const std::string body = EncodeBase64(JisText((kMailBytes - mail.size()) * 3 / 8, seed + 3));
    AppendWrapped(mail, body);
    if (attached) {
      mail += "--b\r\nContent-Type: image/jpeg; name=\"photo" + std::to_string(m + 1) +
              ".jpg\"\r\nContent-Transfer-Encoding: base64\r\n\r\n";
      std::string photo(kAttachmentBytes, '\0');
      for (std::size_t i = 0; i < photo.size(); ++i) photo[i] = static_cast<char>((seed + i * 31) >> 3);
      AppendWrapped(mail, EncodeBase64(photo));
      mail += "--b--\r\n";
    }
    mail += "END:MAIL\r\n";
    file += mail;
  }
  return file;
}

// Short SMS-like mails of about 300 bytes each, for the index at a million
// records: the settings of MailDump read them. No charset is named, so that
// rendering one in the window program asks nothing (a charset the decoder
// does not know is a warning box).
inline std::string SmsDump(int mails) {
  std::string file;
  file.reserve(static_cast<std::size_t>(mails) * 320);
  for (int m = 1; m <= mails; ++m) {
    const std::string n = std::to_string(m);
    file += "BEGIN:MAIL\r\nX-BOX:INBOX\r\nDate: 2006/" + std::to_string(1 + m % 12) + "/" + std::to_string(1 + m % 28) +
            " 09:15\r\nFrom: user" + std::to_string(m % 997) + "@example.jp\r\nSubject: sms " + n +
            "\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: 7bit\r\n\r\n"
            "See you at the station at " + std::to_string(m % 24) + ". Message number " + n +
            ", sent from a phone.\r\nEND:MAIL\r\n";
  }
  return file;
}

inline TagDefinition Entry(const char* kind, const char* name, const char* start, const char* end) {
  return Flagged(Def(kind, name, start, end), false, false);
}

inline TagDefinition Header(const char* name, const char* start) {
  TagDefinition e = Entry("Data", name, start, "\r\n");
  e.contentStartTag = start;
  e.contentEndTag = "\r\n";
  return e;
}

// The entries of the dump's settings: a D_SET MAIL with Date, From, Subject
// and a Body decoded as mail.
inline std::vector<TagDefinition> MailEntries() {
  const TagDefinition body = Flagged(MailEntry("Body", "Content-Type:", "END:MAIL", "END:MAIL"), false, false);
  return {Entry("D_SET", "MAIL", "BEGIN:MAIL", "END:MAIL"), Header("Date", "Date: "), Header("From", "From: "),
          Header("Subject", "Subject: "), body, Entry("D_SET", "MAIL", "BEGIN:MAIL", "END:MAIL")};
}

inline constexpr const char* kMailListLine =
    "??Date            ??  ??From                    ??  ??Subject                  ??";

inline void MailSettings(Workspace& app) {
  int i = 0;
  for (const TagDefinition& e : MailEntries()) app.extraction.entries[i++] = e;
  app.display.listLineTemplate = kMailListLine;
}

}  // namespace tanavo

// A small mail dump with extraction and display settings that fit it, for the
// tests of rendering, the data display and attachments.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "index/index_creation.h"
#include "mime_test_data.h"
#include "test_support.h"

namespace tanavo {

struct Mail {
  std::string from;
  std::string subject;
  std::string body;
  std::vector<std::pair<std::string, std::string>> attachments;  // name, bytes
};

inline std::string MailRecord(const Mail& m) {
  std::string r = "<MAIL>\r\nFrom: " + m.from + "\r\nSubject: " + m.subject + "\r\n";
  if (m.attachments.empty()) {
    r += "Content-Type: text/plain; charset=Shift_JIS\r\n\r\n" + m.body;
  } else {
    r += "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n";
    r += Part("b", "Content-Type: text/plain; charset=Shift_JIS\r\n", m.body);
    for (const auto& a : m.attachments) r += Attachment("b", a.first, a.second);
    r += "--b--\r\n";
  }
  return r + "</MAIL>\r\n";
}

inline TagDefinition MailBody() { return MailEntry("Body", "Content-Type:", "</MAIL>", "</MAIL>"); }

// The mails loaded as the mobile file with fitting settings, and indexed.
inline void LoadMails(FakeApp& f, const std::vector<Mail>& mails, const std::string& layout) {
  std::string dump;
  for (const Mail& m : mails) dump += MailRecord(m);
  f.app.state.mobileFile = dump;
  const TagDefinition record = Def("D_SET", "MAIL", "<MAIL>", "</MAIL>");
  SetTable(f.app.extraction,
           {record, Item("From", "From: ", "\r\n"), Item("Subject", "Subject: ", "\r\n"), MailBody(), record});
  f.app.display.listLineTemplate = "??Subject??";
  f.app.display.layoutText = layout;
  CreateIndex(f.app);
}

}  // namespace tanavo

// Prints what the full mail decoding makes of each file named, one JSON line
// per file (texts in UTF-8, attachments by name, size, SHA-256 and Base64), for the
// comparison with Python's email package; or decodes every mail of a dump
// (--dump FILE: items between "BEGIN:MAIL" and "END:MAIL" lines), or writes
// the benchmark's dump (--write-dump FILE), for whole-process timing.
#include <cstdio>
#include <string>

#include "../mail_dump.h"
#include "mime/mime_full.h"
#include "platform/charset.h"
#include "platform/console/utf8.h"
#include "platform/digest.h"
#include "platform/files.h"

namespace {

using namespace tanavo;

std::string Json(const std::string& sjis) {
  const std::string utf8 = Cp932ToUtf8(sjis);
  std::string out = "\"";
  for (char c : utf8) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20 || b == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", b);
      out += buf;
    } else {
      out += c;  // a byte that did not convert stays; the reader replaces it
    }
  }
  return out + "\"";
}

int PrintFields(const std::string& path) {
  std::string bytes;
  if (ReadRealFile(path, &bytes) != ReadStatus::Ok) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  const FullMail m = DecodeFullMail(bytes, SystemCharsetConverter());
  std::string line = "{\"file\":" + Json(path) + ",\"date\":" + Json(m.date) + ",\"from\":" + Json(m.from) +
                     ",\"to\":" + Json(m.to) + ",\"subject\":" + Json(m.subject) + ",\"body\":" + Json(m.body) +
                     ",\"undecoded\":" + std::to_string(m.undecoded) + ",\"replaced\":" + std::to_string(m.replaced) +
                     ",\"attachments\":[";
  for (std::size_t i = 0; i < m.attachments.size(); ++i) {
    Sha256Digest d{};
    Sha256OfBytes(m.attachments[i].bytes, &d);
    line += std::string(i ? "," : "") + "{\"name\":" + Json(m.attachments[i].name) +
            ",\"size\":" + std::to_string(m.attachments[i].bytes.size()) + ",\"sha256\":\"" + HexDigest(d) +
            "\",\"base64\":\"" + EncodeBase64(m.attachments[i].bytes) + "\"}";
  }
  line += "]}\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  return 0;
}

int DecodeDump(const std::string& path) {
  std::string bytes;
  if (ReadRealFile(path, &bytes) != ReadStatus::Ok) return 1;
  const std::string begin = "BEGIN:MAIL\r\n", end = "END:MAIL\r\n";
  std::size_t mails = 0, bodyBytes = 0;
  for (std::size_t at = bytes.find(begin); at != std::string::npos; at = bytes.find(begin, at)) {
    const std::size_t stop = bytes.find(end, at);
    if (stop == std::string::npos) break;
    const FullMail m =
        DecodeFullMail(std::string_view(bytes).substr(at + begin.size(), stop - at - begin.size()), SystemCharsetConverter());
    bodyBytes += m.body.size() + m.subject.size() + m.from.size();
    ++mails;
    at = stop;
  }
  std::printf("%zu mails, %zu bytes of text\n", mails, bodyBytes);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--dump") return DecodeDump(argv[2]);
  if (argc == 3 && std::string(argv[1]) == "--write-dump") {
    return tanavo::WriteRealFileReplacing(argv[2], tanavo::MailDump(2500)) == tanavo::WriteStatus::Ok ? 0 : 1;
  }
  int rc = 0;
  for (int i = 1; i < argc; ++i) rc |= PrintFields(argv[i]);
  return rc;
}

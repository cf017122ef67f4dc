// Mail pieces shared by the MIME decoding tests.
#pragma once

#include <string>
#include <string_view>

#include "codec/codec.h"

namespace tanavo {

// Japanese text in ISO-2022-JP as phones send it, and the Shift_JIS the
// decoders must give (the literals compile to code page 932).
inline const std::string kJisHello = "\x1b$B$3$s$K$A$O\x1b(B";  // こんにちは
inline const std::string kJisSubject = "\x1b$B7oL>\x1b(B";     // 件名
inline const std::string kJisPhoto = "\x1b$B<L??\x1b(B";        // 写真
inline const std::string kJisBody = "\x1b$BF|K\\8l$N%a!<%kK\\J8$G$9!#\x1b(B";  // 日本語のメール本文です。

// Base64 broken by CR LF every 76 columns, as mailers send it.
inline std::string WrappedBase64(std::string_view bytes) {
  const std::string flat = EncodeBase64(bytes);
  std::string out;
  for (std::size_t i = 0; i < flat.size(); i += 76) out += flat.substr(i, 76) + "\r\n";
  return out;
}

inline std::string IsoWord(const std::string& jis) { return "=?ISO-2022-JP?B?" + EncodeBase64(jis) + "?="; }

// Parts of a multipart body.
inline std::string Part(const std::string& boundary, const std::string& headers, const std::string& body) {
  return "--" + boundary + "\r\n" + headers + "\r\n" + body + "\r\n";
}
inline std::string Attachment(const std::string& boundary, const std::string& name, const std::string& bytes) {
  return Part(boundary,
              "Content-Type: image/jpeg; name=\"" + name + "\"\r\nContent-Transfer-Encoding: base64\r\n",
              WrappedBase64(bytes));
}
inline std::string MultipartHeader(const std::string& boundaryParameter) {
  return "Subject: x\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; " + boundaryParameter + "\r\n\r\n";
}

}  // namespace tanavo

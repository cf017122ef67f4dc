// Two mails as they arrive today, written for the tests of full decoding
// (and the pictures of it in docs/): a UTF-8 mail from a phone, and an HTML
// mail from a mail program, its alternatives nested in a mixed multipart with
// an attachment named by RFC 2231. The texts are u8 literals: UTF-8 bytes
// whatever the execution charset.
#pragma once

#include <string>
#include <string_view>

#include "codec/codec.h"

namespace tanavo {

// Lines of 76 characters, as mail programs wrap Base64.
inline std::string WrappedMailBase64(std::string_view bytes) {
  const std::string flat = EncodeBase64(bytes);
  std::string out;
  for (std::size_t i = 0; i < flat.size(); i += 76) out += flat.substr(i, 76) + "\r\n";
  return out;
}

inline std::string HexEscaped(unsigned char b, char lead) {
  static const char kHex[] = "0123456789ABCDEF";
  return {lead, kHex[b >> 4], kHex[b & 15]};
}

// Quoted-Printable with soft line breaks; line breaks of the text kept.
inline std::string QuotedPrintableOf(std::string_view text) {
  std::string out;
  std::size_t column = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\r\n";
      column = 0;
      ++i;
      continue;
    }
    const std::string piece = (b >= 0x80 || b == '=') ? HexEscaped(b, '=') : std::string(1, static_cast<char>(b));
    if (column + piece.size() > 72) {
      out += "=\r\n";
      column = 0;
    }
    out += piece;
    column += piece.size();
  }
  return out;
}

// Encoded words in the Q form, one per few characters, folded as mailers do.
inline std::string QEncodedWords(std::string_view utf8) {
  std::string out, word;
  auto close = [&]() {
    if (word.empty()) return;
    if (!out.empty()) out += "\r\n ";
    out += "=?utf-8?Q?" + word + "?=";
    word.clear();
  };
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    // A new word only before a character's first byte.
    if ((b & 0xC0) != 0x80 && word.size() > 36) close();
    const bool plain = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
    word += b == ' ' ? std::string("_") : plain ? std::string(1, static_cast<char>(b)) : HexEscaped(b, '=');
  }
  close();
  return out;
}

inline std::string BEncodedWord(std::string_view utf8) { return "=?UTF-8?B?" + EncodeBase64(utf8) + "?="; }

// From a phone: every header and the body UTF-8, the body in Base64, with
// an umbrella that Shift_JIS has no place for.
inline std::string Utf8JapaneseMail() {
  const std::string body =
      u8"花子さん\r\n\r\n"
      u8"土曜日は10時に駅の改札前で待ち合わせましょう。\r\n"
      u8"雨なら美術館に変更です☔\r\n"
      u8"チケットは取ってあります〜\r\n\r\n"
      u8"太郎\r\n";
  return "Date: Sat, 05 Dec 2026 21:14:07 +0900\r\n"
         "From: " + BEncodedWord(u8"山田 太郎") + " <taro.yamada@example.jp>\r\n"
         "To: " + BEncodedWord(u8"佐藤 花子") + " <hanako@example.ne.jp>\r\n"
         "Subject: " + BEncodedWord(u8"週末の予定について") + "\r\n"
         "Message-Id: <7F3A2C1E-44B0-4C2E-9D4A-000000000001@example.jp>\r\n"
         "Mime-Version: 1.0 (1.0)\r\n"
         "Content-Type: text/plain;\r\n\tcharset=utf-8\r\n"
         "Content-Transfer-Encoding: base64\r\n"
         "\r\n" +
         WrappedMailBase64(body);
}

inline const std::string& SamplePng() {
  static const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1f\x15\xc4\x89", 33);
  return png;
}

// From a mail program: text and HTML alternatives inside a mixed multipart
// with a picture; the outer boundary unquoted, the picture's name by RFC 2231.
inline std::string NestedHtmlMail() {
  const std::string text =
      u8"各位\r\n\r\n明日の会議資料を添付します。\r\nご確認ください。\r\n\r\n"
      u8"・議題1: 来期の予算\r\n・議題2: 日程の調整\r\n\r\n鈴木\r\n";
  const std::string html =
      u8"<html><head><meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\"></head>\r\n"
      u8"<body><p>各位</p><p>明日の会議資料を<b>添付</b>します。<br>ご確認ください。</p>\r\n"
      u8"<ul><li>議題1: 来期の予算</li><li>議題2: 日程の調整</li></ul><p>鈴木</p></body></html>\r\n";
  return "Date: Tue, 08 Dec 2026 18:02:45 +0900\r\n"
         "From: " + QEncodedWords(u8"鈴木 一郎") + " <ichiro.suzuki@example.co.jp>\r\n"
         "To: team@example.co.jp\r\n"
         "Subject: " + QEncodedWords(u8"明日の会議資料 (予算と日程)") + "\r\n"
         "User-Agent: Mozilla Thunderbird\r\n"
         "MIME-Version: 1.0\r\n"
         "Content-Type: multipart/mixed; boundary=------------outer0123456789\r\n"
         "\r\n"
         "This is a multi-part message in MIME format.\r\n"
         "--------------outer0123456789\r\n"
         "Content-Type: multipart/alternative;\r\n boundary=\"------------inner9876543210\"\r\n"
         "\r\n"
         "--------------inner9876543210\r\n"
         "Content-Type: text/plain; charset=UTF-8; format=flowed\r\n"
         "Content-Transfer-Encoding: 8bit\r\n"
         "\r\n" +
         text +
         "\r\n--------------inner9876543210\r\n"
         "Content-Type: text/html; charset=UTF-8\r\n"
         "Content-Transfer-Encoding: quoted-printable\r\n"
         "\r\n" +
         QuotedPrintableOf(html) +
         "\r\n--------------inner9876543210--\r\n"
         "\r\n--------------outer0123456789\r\n"
         "Content-Type: image/png; name*=UTF-8''%E8%B3%87%E6%96%99.png\r\n"
         "Content-Disposition: attachment; filename*=UTF-8''%E8%B3%87%E6%96%99.png\r\n"
         "Content-Transfer-Encoding: base64\r\n"
         "\r\n" +
         WrappedMailBase64(SamplePng()) + "\r\n--------------outer0123456789--\r\n";
}

}  // namespace tanavo

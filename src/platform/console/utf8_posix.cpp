// CP932 to UTF-8 (or the locale's encoding) for the standard streams, with iconv.
#ifndef _WIN32
#include <iconv.h>

#include "platform/console/utf8.h"

namespace tanavo {

namespace {

std::string Convert(const std::string& text, const std::string& encoding, bool visible) {
  iconv_t cd = iconv_open(encoding.c_str(), "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return text;
  std::string out;
  out.reserve(text.size() * 3 / 2 + 16);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char buf[4096];
  while (inLeft > 0) {
    char* o = buf;
    std::size_t oLeft = sizeof buf;
    std::size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buf, sizeof buf - oLeft);
    if (r == static_cast<std::size_t>(-1) && oLeft == sizeof buf && inLeft > 0) {
      if (visible) {
        static const char kHexDigits[] = "0123456789ABCDEF";
        const unsigned char b = static_cast<unsigned char>(*in);
        out += "\\x";
        out += kHexDigits[b >> 4];
        out += kHexDigits[b & 0x0F];
      } else {
        out.push_back(*in);  // keep what does not convert
      }
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Cp932ToUtf8(const std::string& text) { return Convert(text, "UTF-8", false); }

std::string Cp932ToEncoding(const std::string& text, const std::string& encoding) {
  return Convert(text, encoding, true);
}

// A byte without a character becomes \xHH: a name of valid UTF-8, and still
// one name for each text (a name made safe holds no backslash of its own).
std::string NativeFileName(const std::string& text) { return Convert(text, "UTF-8", true); }

std::string NativeNameToUtf8(const std::string& name) { return name; }

}  // namespace tanavo
#endif

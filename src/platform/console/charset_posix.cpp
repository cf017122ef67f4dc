// Charsets to Shift_JIS with iconv (glibc): the text goes to UCS-4 first and
// from there to code page 932, so that a byte that is not valid in its charset
// and a character that Shift_JIS cannot hold are each told apart, replaced by
// the geta mark and counted, and the conversion always runs to the end.
#ifndef _WIN32
#include <errno.h>
#include <iconv.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "codec/charset_names.h"
#include "codec/codec.h"
#include "platform/charset.h"

namespace tanavo {

namespace {

constexpr char kUcs4[] = "UCS-4LE";
// glibc's CP932 is Microsoft's code page 932 (NEC and IBM rows, the wave dash
// and the full-width tilde both to 0x8160); its SHIFT_JIS is JIS X 0208 only.
constexpr char kTarget[] = "CP932";
constexpr std::uint32_t kGetaCodePoint = 0x3013;
constexpr std::size_t kChunkBytes = 16 * 1024;
// UCS-4 handed to the second step at a time, whole code points. glibc's
// multi-step conversion redoes its first step over all the input it was
// given whenever the last step stops at an unconvertible character, so one
// call over a whole body costs time quadratic in the number of such
// characters; a bounded slice keeps each restart short.
constexpr std::size_t kSjisStepBytes = 64 * 4;
const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

class IconvConverter : public CharsetConverter {
 public:
  ~IconvConverter() override {
    for (auto& d : open_) {
      if (d.second != kNoIconv) iconv_close(d.second);
    }
  }

  bool ToShiftJis(std::string_view charset, std::string_view bytes, CharsetResult* out) const override {
    const CharsetInfo info = LookupCharset(charset);
    if (info.route == CharsetRoute::Unknown) return false;
    if (ConvertWithoutSystem(info, bytes, out)) return true;
    if (info.route == CharsetRoute::Iso2022Jp) {
      std::string euc;
      if (Iso2022JpToEucJp(bytes, &euc)) return Convert("EUCJP-MS", euc, out);
    }
    return Convert(info.iconvName, bytes, out);
  }

 private:
  // One descriptor per direction, opened on first use and reset before each
  // use: opening costs far more than a short header word takes to convert.
  iconv_t Descriptor(const char* to, const char* from) const {
    const std::string key = std::string(to) + '<' + from;
    auto it = open_.find(key);
    if (it == open_.end()) it = open_.emplace(key, iconv_open(to, from)).first;
    if (it->second != kNoIconv) iconv(it->second, nullptr, nullptr, nullptr, nullptr);
    return it->second;
  }

  static void PutCodePoint(std::string& ucs4, std::uint32_t cp) {
    for (int k = 0; k < 4; ++k) ucs4.push_back(static_cast<char>((cp >> (8 * k)) & 0xFF));
  }

  bool Convert(const char* from, std::string_view bytes, CharsetResult* out) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const iconv_t toUcs = Descriptor(kUcs4, from);
    const iconv_t toSjis = Descriptor(kTarget, kUcs4);
    if (toUcs == kNoIconv || toSjis == kNoIconv) return false;
    std::size_t replaced = 0;

    std::string ucs4;
    ucs4.reserve(bytes.size() * 4 + 16);
    char buf[kChunkBytes];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    for (;;) {
      char* o = buf;
      std::size_t oLeft = sizeof buf;
      const std::size_t r = inLeft > 0 ? iconv(toUcs, &in, &inLeft, &o, &oLeft) : iconv(toUcs, nullptr, nullptr, &o, &oLeft);
      const int err = errno;
      ucs4.append(buf, sizeof buf - oLeft);
      if (r != static_cast<std::size_t>(-1)) {
        if (inLeft == 0 && o == buf) break;  // flushed, nothing more
        continue;
      }
      if (err == E2BIG) continue;
      // Not valid in its charset (EILSEQ), or cut short at the end (EINVAL).
      PutCodePoint(ucs4, kGetaCodePoint);
      ++replaced;
      if (err == EINVAL || inLeft == 0) {
        inLeft = 0;
        iconv(toUcs, nullptr, nullptr, nullptr, nullptr);
        break;
      }
      ++in;
      --inLeft;
    }

    std::string sjis;
    sjis.reserve(ucs4.size() / 2 + 16);
    in = &ucs4[0];
    inLeft = ucs4.size();
    while (inLeft > 0) {
      char* o = buf;
      std::size_t oLeft = sizeof buf;
      std::size_t sliceLeft = inLeft < kSjisStepBytes ? inLeft : kSjisStepBytes;
      const std::size_t rest = inLeft - sliceLeft;
      const std::size_t r = iconv(toSjis, &in, &sliceLeft, &o, &oLeft);
      const int err = errno;
      inLeft = rest + sliceLeft;
      sjis.append(buf, sizeof buf - oLeft);
      if (r != static_cast<std::size_t>(-1) || err == E2BIG) continue;
      // A character code page 932 has no place for: the geta mark.
      sjis.append(kShiftJisGeta);
      ++replaced;
      const std::size_t skip = inLeft < 4 ? inLeft : 4;
      in += skip;
      inLeft -= skip;
    }
    out->text = std::move(sjis);
    out->replaced = replaced;
    return true;
  }

  mutable std::mutex mutex_;
  mutable std::map<std::string, iconv_t> open_;
};

}  // namespace

const CharsetConverter& SystemCharsetConverter() {
  static const IconvConverter converter;
  return converter;
}

}  // namespace tanavo
#endif

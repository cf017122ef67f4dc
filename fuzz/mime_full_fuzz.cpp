// The full mail decoding on any bytes: it must end after work linear in the
// input, give the same value twice, keep its output within the input and its
// attachments within the cap, and count exactly what it reports.
#include "fuzz_support.h"
#include "mime/mime_full.h"
#include "platform/fake/fake_charset.h"

using namespace tanavo;

namespace {

struct Counter : MimeReporter {
  std::size_t marks = 0;
  std::size_t unmapped = 0;
  void Warn(MimeWarning w, std::size_t, std::string_view) override {
    if (w == MimeWarning::UnknownCharset || w == MimeWarning::UnknownTransferEncoding || w == MimeWarning::TooDeep ||
        w == MimeWarning::TooManyParts || w == MimeWarning::UnclosedHtml) {
      ++marks;
    }
    if (w == MimeWarning::UnmappedCharacters) ++unmapped;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view item = AsText(data, size);
  const FakeCharsetConverter charsets;
  Counter counter;
  const FullMail m = DecodeFullMail(item, charsets, &counter);
  FUZZ_CHECK(m.undecoded == counter.marks);
  FUZZ_CHECK(m.replaced == 0 && counter.unmapped == 0);  // the fake maps whatever it knows
  FUZZ_CHECK(m.attachments.size() <= kMaxMimeParts);
  // The splits read each multipart's body about twice, whatever it holds:
  // never the square of the item (time per input is bounded by the replay's
  // -timeout as well).
  FUZZ_CHECK(m.work <= 2 * (static_cast<std::size_t>(kMaxMimeDepth) + 1) * size);
  // Every attachment comes from its own stretch of the item and no decoding
  // makes bytes longer.
  std::size_t total = 0;
  for (const MailAttachment& a : m.attachments) {
    FUZZ_CHECK(!a.name.empty());
    for (char c : a.name) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    total += a.bytes.size();
  }
  FUZZ_CHECK(total <= size);
  const FullMail again = DecodeFullMail(item, charsets);
  FUZZ_CHECK(again.body == m.body && again.subject == m.subject && again.attachments.size() == m.attachments.size());
  return 0;
}

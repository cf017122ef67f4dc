// The .kta reader: bytes in, table out; saved and read back, the table must
// come back as it was saved.
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "fuzz_support.h"

using namespace tanavo;

namespace {

bool SameEntry(const TagDefinition& a, const TagDefinition& b) { return EncodeEntry(a) == EncodeEntry(b); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzApp f;
  f.platform.files["C:\\in.kta"] = std::string(AsText(data, size));
  f.platform.dialogAnswers = {std::string("C:\\in.kta")};
  FUZZ_CHECK(LoadExtractionSettings(f.app));
  const ExtractionSettings first = f.app.extraction;
  const int used = UsedCount(first);
  FUZZ_CHECK(used >= 0 && used <= kTagEntries);

  f.platform.dialogAnswers = {std::string("C:\\out.kta")};
  SaveExtractionSettings(f.app);
  const std::string& saved = f.platform.files["C:\\out.kta"];
  FUZZ_CHECK(saved.size() == static_cast<size_t>(used) * kEntryBytes);

  f.platform.dialogAnswers = {std::string("C:\\out.kta")};
  FUZZ_CHECK(LoadExtractionSettings(f.app));
  FUZZ_CHECK(UsedCount(f.app.extraction) == used);
  for (int i = 0; i < used; ++i) {
    // A value longer than its field is cut when saved; what was saved reads back the same.
    TagDefinition saved1;
    DecodeEntry(std::string_view(saved).substr(static_cast<size_t>(i) * kEntryBytes, kEntryBytes), saved1);
    FUZZ_CHECK(SameEntry(f.app.extraction.entries[i], saved1));
    if (EncodeEntry(first.entries[i]) == EncodeEntry(saved1)) FUZZ_CHECK(SameEntry(first.entries[i], saved1));
  }
  return 0;
}

// The .kdp reader: bytes in, two texts out; written and read back, the texts
// must come back as they were written.
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "fuzz_support.h"

using namespace tanavo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DisplaySettingsTexts first;
  if (!ParseDisplaySettingsFile(AsText(data, size), &first)) return 0;
  FUZZ_CHECK(first.listLineTemplate.find('\0') == std::string::npos);
  FUZZ_CHECK(first.layoutText.find('\0') == std::string::npos);
  DisplaySettingsTexts again;
  FUZZ_CHECK(ParseDisplaySettingsFile(BuildDisplaySettingsFile(first.listLineTemplate, first.layoutText), &again));
  FUZZ_CHECK(again.listLineTemplate == first.listLineTemplate);
  FUZZ_CHECK(again.layoutText == first.layoutText);
  return 0;
}

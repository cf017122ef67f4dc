// Index creation, record rendering, the data display and attachment opening
// over small generated tables: the first bytes choose a table of a few
// entries from a small set of kinds, names and tags, the rest is the mobile
// file.
#include <fuzzer/FuzzedDataProvider.h>

#include "display/attachment_opening.h"
#include "app/data_display.h"
#include "display/render.h"
#include "app/display_window.h"
#include "index/index_creation.h"
#include "fuzz_support.h"

using namespace tanavo;

namespace {

constexpr int kMaxGeneratedEntries = 10;
const char* const kKinds[] = {"D_SET", "Group", "Data"};
const char* const kNames[] = {"A", "B", "AB", "M"};
const char* const kTags[] = {"", "<r>", "</r>", "<g>", "</g>", "\r\n", "x:", ";", "\r\n\r\n", "*", "--", "?"};
const char* const kFlags[] = {"N", "Y"};

template <typename T, size_t N>
const char* Pick(FuzzedDataProvider& in, const T (&from)[N]) {
  return from[in.ConsumeIntegralInRange<size_t>(0, N - 1)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  FuzzApp f;
  const int entries = in.ConsumeIntegralInRange<int>(1, kMaxGeneratedEntries);
  for (int i = 0; i < entries; ++i) {
    TagDefinition& e = f.app.extraction.entries[i];
    e.kind = Pick(in, kKinds);
    e.name = Pick(in, kNames);
    e.rangeStartTag = Pick(in, kTags);
    e.rangeEndTag = Pick(in, kTags);
    e.applyToMultiple = Pick(in, kFlags);
    e.searchAfterPrevious = Pick(in, kFlags);
    if (in.ConsumeBool()) {
      e.contentStartTag = Pick(in, kTags);
      e.contentEndTag = Pick(in, kTags);
    }
    if (in.ConsumeBool()) e.dataTypeStartTag = e.dataTypeEndTag = e.encodingStartTag = e.encodingEndTag = "*";
    if (in.ConsumeBool()) e.lineEnd = Pick(in, kTags);
    if (in.ConsumeBool()) e.nextLineHead = Pick(in, kTags);
  }
  f.app.display.listLineTemplate = in.ConsumeRandomLengthString(64);
  f.app.display.layoutText = in.ConsumeRandomLengthString(256);
  f.app.state.mobileFile = in.ConsumeRemainingBytesAsString();

  if (CreateIndex(f.app) != 0) return 0;
  const RecordIndex& index = f.app.index;
  FUZZ_CHECK(index.count >= 0 && index.count <= kIndexSlots);
  int32_t previous = 0;
  for (int n = 1; n <= index.count; ++n) {
    FUZZ_CHECK(index.positions[n] > previous);
    FUZZ_CHECK(static_cast<size_t>(index.positions[n]) <= f.app.state.mobileFile.size());
    FUZZ_CHECK(index.lines[n].find('\0') == std::string::npos);
    previous = index.positions[n];
  }

  // With the record delimiter first in the table, every indexed record is
  // found again where it was indexed.
  const bool recordFirst = f.app.extraction.entries[0].kind == EntryKind::DSet;
  constexpr int kRendered = 8;
  for (int n = 1; n <= index.count && n <= kRendered; ++n) {
    const int rendered = ShowRecord(f.app, n);
    if (recordFirst) FUZZ_CHECK(rendered == 0);
  }
  FUZZ_CHECK(ShowRecord(f.app, index.count + 1) == 1);

  OpenDataDisplay(f.app);
  MemoryWindow& w = *f.platform.WindowOf(kDisplayWindowClass);
  FUZZ_CHECK(w.ListCount(kDispRecordList) == index.count);
  if (index.count > 1) w.UserSelect(kDispRecordList, index.count - 1);
  for (int r = 0; r < w.ListCount(kDispAttachmentList); ++r) w.UserSelect(kDispAttachmentList, r);
  FUZZ_CHECK(w.ListCount(kDispAttachmentList) <= kAttachmentSlots);
  // What the shell was handed is never a program.
  for (const std::string& path : f.platform.shellOpened) {
    const ContentHeader header = ReadContentHeader(f.platform.files[path]);
    FUZZ_CHECK(header == ContentHeader::None || header == ContentHeader::Zip);
  }
  return 0;
}

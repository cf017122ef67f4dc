// The index file reader through its menu command, the three files it names
// replaced by in-memory ones; what was read, written again and read back,
// must come back the same where the format can hold it.
#include "text/path.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "index/index_file.h"
#include "index/index_stream.h"
#include "fuzz_support.h"

using namespace tanavo;

namespace {

const std::string kMobile = "<R>F:one\r\n</R><R>F:two\r\n</R>";

std::string Kta() {
  const TagDefinition d = Def(EntryKind::DSet, "R", "<R>", "</R>");
  TagDefinition item = Def(EntryKind::Data, "From", "F:", "\r\n");
  item.contentStartTag = "F:";
  item.contentEndTag = "\r\n";
  return EncodeEntry(d) + EncodeEntry(item) + EncodeEntry(d);
}

bool EndsWith(const std::string& s, char c) { return !s.empty() && s.back() == c; }

// Whether a list line holds what the reader takes for the end of a record:
// "[[" + number + "]]", a line end or none, then "((".
bool HoldsRecordEnd(const std::string& line) {
  for (std::size_t close = line.find("]]"); close != std::string::npos; close = line.find("]]", close + 1)) {
    std::size_t digits = close;
    while (digits > 0 && line[digits - 1] >= '0' && line[digits - 1] <= '9') --digits;
    if (digits == close || digits < 2 || line.compare(digits - 2, 2, "[[") != 0) continue;
    std::size_t after = close + 2;
    if (line.compare(after, 2, "\r\n") == 0) {
      after += 2;
    } else if (line.compare(after, 1, "\n") == 0) {
      after += 1;
    }
    if (line.compare(after, 2, "((") == 0) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(AsText(data, size));
  IndexFilePaths paths;
  RecordIndex index;
  const IndexTextNotes wholeNotes = ReadIndexFileText(text, &paths, &index);
  FUZZ_CHECK(index.count >= 0 && index.count <= kIndexSlots);

  // Read a few bytes at a time, as the export reads a large index file: the
  // same paths, notes and records.
  {
    BytesFileReader reader(text);
    IndexTextStream stream(reader, 5);
    IndexFilePaths streamPaths;
    RecordIndex streamIndex;
    bool unreadable = false;
    std::string countText;
    const bool head = stream.ReadHead(&streamPaths, &countText);
    const IndexTextNotes notes = stream.ReadRecords(countText, &streamIndex, true, nullptr, &unreadable);
    FUZZ_CHECK(head && !unreadable && streamPaths.mobile == paths.mobile && streamPaths.extraction == paths.extraction &&
               streamPaths.display == paths.display);
    FUZZ_CHECK(notes.storedCount == wholeNotes.storedCount && notes.truncated == wholeNotes.truncated &&
               notes.damaged == wholeNotes.damaged && notes.overCapacity == wholeNotes.overCapacity);
    FUZZ_CHECK(streamIndex.count == index.count);
    for (int n = 1; n <= index.count; ++n) {
      FUZZ_CHECK(streamIndex.lines[n] == index.lines[n] && streamIndex.positions[n] == index.positions[n]);
    }
  }

  // Read, written and read again. A path ending in ")" runs into the marker
  // after it, and a line holding a record's end ends its record there; the
  // format cannot hold those.
  bool holdable = !EndsWith(paths.mobile, ')') && !EndsWith(paths.extraction, ')') && !EndsWith(paths.display, ')');
  std::size_t lineBytes = 0;
  for (int n = 1; n <= index.count; ++n) {
    holdable = holdable && !HoldsRecordEnd(index.lines[n]);
    lineBytes += index.lines[n].size();
  }
  // Every byte of the text is in one line at most: memory bounded by its size.
  FUZZ_CHECK(lineBytes <= text.size());
  if (holdable) {
    IndexFilePaths paths2;
    RecordIndex index2;
    IndexTextNotes notes2 = ReadIndexFileText(BuildIndexFileText(paths, index), &paths2, &index2);
    FUZZ_CHECK(!notes2.truncated && !notes2.overCapacity && !notes2.damaged);
    FUZZ_CHECK(paths2.mobile == paths.mobile && paths2.extraction == paths.extraction &&
               paths2.display == paths.display);
    FUZZ_CHECK(index2.count == index.count);
    for (int n = 1; n <= index.count; ++n) {
      FUZZ_CHECK(index2.lines[n] == index.lines[n]);
      FUZZ_CHECK(index2.positions[n] == index.positions[n]);
    }
  }

  // The menu command, with the named files present.
  FuzzApp f;
  f.platform.files[OpenablePath(SplitPath(paths.mobile))] = kMobile;
  static const std::string kta = Kta();
  f.platform.files[OpenablePath(SplitPath(paths.extraction))] = kta;
  f.platform.files[OpenablePath(SplitPath(paths.display))] = BuildDisplaySettingsFile("??From??", "");
  f.platform.files["C:\\in.ini"] = text;
  f.platform.dialogAnswers = {std::string("C:\\in.ini")};
  LoadIndexFileCommand(f.app);
  // An index file naming a network path or a device is refused whole.
  bool refused = false;
  for (const std::string* path : {&paths.mobile, &paths.extraction, &paths.display}) {
    refused = refused || NamesNetworkPath(*path) || NamesDevice(*path, f.platform.PathSeparator());
  }
  FUZZ_CHECK(f.app.index.count == (refused ? 0 : index.count));
  FUZZ_CHECK(f.app.stack.Depth() == 0);
  return 0;
}

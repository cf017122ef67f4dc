// Tag table entries built by hand, one way for the tests, the benchmarks and
// the fuzz targets. Standard C++ and the settings header only: no test
// framework, so that every one of them can include it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "extract/settings.h"

namespace tanavo {

// A definition with its kind and name (and range tags); the rest empty, the
// flags included.
inline TagDefinition Def(KindText kind, std::string name, std::string rangeStart = "", std::string rangeEnd = "") {
  TagDefinition e;
  e.kind = std::move(kind);
  e.name = std::move(name);
  e.rangeStartTag = std::move(rangeStart);
  e.rangeEndTag = std::move(rangeEnd);
  return e;
}

// The entry with both flags set, from a bool ("Y"/"N") or as a text.
inline TagDefinition Flagged(TagDefinition e, FlagText applyToMultiple, FlagText searchAfterPrevious = false) {
  e.applyToMultiple = std::move(applyToMultiple);
  e.searchAfterPrevious = std::move(searchAfterPrevious);
  return e;
}

// A Data entry whose value is the text between its range tags; only
// "applyToMultiple" is set.
inline TagDefinition Item(std::string name, const std::string& start, const std::string& end, bool repeated = false) {
  TagDefinition e = Def(EntryKind::Data, std::move(name), start, end);
  e.contentStartTag = start;
  e.contentEndTag = end;
  e.applyToMultiple = repeated;
  return e;
}

// A Data entry decoded as a mail: its headers found with the pattern lists
// ("*" "*"), its body from the empty line up to contentEnd.
inline TagDefinition MailEntry(std::string name, std::string rangeStart, std::string rangeEnd, std::string contentEnd) {
  TagDefinition e = Def(EntryKind::Data, std::move(name), std::move(rangeStart), std::move(rangeEnd));
  e.dataTypeStartTag = e.dataTypeEndTag = "*";
  e.encodingStartTag = e.encodingEndTag = "*";
  e.japaneseCodeStartTag = e.japaneseCodeEndTag = "*";
  e.contentStartTag = "\r\n\r\n";
  e.contentEndTag = std::move(contentEnd);
  return e;
}

// Fills the table from index 0 on.
inline void SetTable(ExtractionSettings& s, const std::vector<TagDefinition>& entries) {
  for (std::size_t i = 0; i < entries.size() && i < s.entries.size(); ++i) s.entries[i] = entries[i];
}

}  // namespace tanavo

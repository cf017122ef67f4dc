// The extraction settings: a fixed table of tag definitions that describes how
// records (D_SET), groups (Group) and data items (Data) are delimited.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tanavo {

constexpr int kTagEntries = 201;  // entries 0 to 200

struct TagDefinition {
  std::string kind;  // "D_SET", "Group" or "Data"
  std::string name;
  std::string rangeStartTag;
  std::string rangeEndTag;
  std::string dataTypeStartTag;
  std::string dataTypeEndTag;
  std::string encodingStartTag;
  std::string encodingEndTag;
  std::string japaneseCodeStartTag;
  std::string japaneseCodeEndTag;
  std::string contentStartTag;
  std::string contentEndTag;
  std::string lineEnd;
  std::string nextLineHead;
  std::string applyToMultiple;      // "Y" on; anything else off
  std::string searchAfterPrevious;  // "Y" on; anything else off
};

struct ExtractionSettings {
  std::array<TagDefinition, kTagEntries> entries;
  int32_t dsetPairCount = 0;
  int32_t groupCounter = 0;
  int32_t dataCounter = 0;
};

// Empties every field of all entries; the counters stay.
void ResetSettings(ExtractionSettings& s);
// Index of the first entry with an empty name, 0 to 201.
int UsedCount(const ExtractionSettings& s);
// Entry 0 has a name.
bool IsPresent(const ExtractionSettings& s);
// The other entry of a pair (first other used entry with the same name), the
// index itself for a Data entry, -1 when there is none or the index is outside
// the table.
int FindPartner(const ExtractionSettings& s, int index);
// True when the flag text turns the flag on.
inline bool FlagOn(const std::string& flag) { return flag == "Y"; }

// Bytes to the bracketed tokens of the edit fields and back.
std::string ToTagNotation(const std::string& text);
std::string FromTagNotation(const std::string& text);

}  // namespace tanavo

// The extraction settings: a fixed table of tag definitions that describes how
// records (D_SET), groups (Group) and data items (Data) are delimited.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/spelled_value.h"

namespace tanavo {

constexpr int kTagEntries = 201;  // entries 0 to 200

// The three kinds of definition, as the settings file spells them.
constexpr const char* kKindDSet = "D_SET";
constexpr const char* kKindGroup = "Group";
constexpr const char* kKindData = "Data";

// An entry's kind: None for an empty kind text (it ends the walk), Other for
// any text that is none of the three spellings (the walk passes over it).
enum class EntryKind { None, DSet, Group, Data, Other };
EntryKind ParseEntryKind(std::string_view text);
// The spelling a kind is set as; None and Other have none of their own ("").
const char* EntryKindSpelling(EntryKind kind);
using KindText = SpelledValue<EntryKind, ParseEntryKind, EntryKindSpelling>;

// A flag is on for "Y" only; set from a bool it is written "Y" or "N".
bool ParseFlag(std::string_view text);
const char* FlagSpelling(bool on);
using FlagText = SpelledValue<bool, ParseFlag, FlagSpelling>;

struct TagDefinition {
  KindText kind;
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
  FlagText applyToMultiple;
  FlagText searchAfterPrevious;
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
// The first used entry of that kind, or -1.
int FirstEntryOfKind(const ExtractionSettings& s, EntryKind kind);
// The other entry of a pair (first other used entry with the same name), the
// index itself for a Data entry, -1 when there is none or the index is outside
// the table.
int FindPartner(const ExtractionSettings& s, int index);

// The two-digit number of a default name: "0" + decimal, cut to its last two
// characters (7 gives "07", 12 gives "12", 100 gives "00").
std::string TwoDigitNumber(int32_t n);

// The entry's line in the extraction settings list: the name, indented by one
// space for a Group and two for a Data entry.
std::string ListLabel(const TagDefinition& e);

// Opens count empty entries at index, moving the entries from index on down
// by count. Refused (false, nothing changed) when the used entries would no
// longer fit in the table or index lies outside the used entries and the one
// slot after them.
bool InsertEntries(ExtractionSettings& s, int index, int count);
// Removes a used entry, moving the used entries after it up by one; the old
// last used slot becomes empty. Indexes outside the used entries change nothing.
void RemoveEntry(ExtractionSettings& s, int index);

// Bytes to the bracketed tokens of the edit fields and back.
std::string ToTagNotation(const std::string& text);
std::string FromTagNotation(const std::string& text);

}  // namespace tanavo

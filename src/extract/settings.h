// The extraction settings: a fixed table of tag definitions that describes how
// records (D_SET), groups (Group) and data items (Data) are delimited.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// The rules the settings windows follow, kept here so that they hold for the
// data whatever shows it. Each entry's line is its ListLabel.

// The default names numbered again after an insertion or removal: entries
// whose line begins "  Data" become Data01, Data02 ... in order; each Group
// pair whose line begins " Group" is numbered by its first line in order, its
// other line (searched from two lines below, wrapping round) following it,
// and a pair that bore the new number takes the old one.
void RenumberDefaultNames(ExtractionSettings& s);

// Whether a name may be given to the entry at index (and partner, the other
// line of its pair, or -1).
enum class NameCheck {
  Ok,
  NotSet,  // empty, or still the default of the entry's kind ("D_SET", "Group...", "Data...")
  Taken,   // another used entry's line, its spaces removed, is the name
};
NameCheck CheckEntryName(const ExtractionSettings& s, int index, int partner, const std::string& name);

// The detail window's edit: every field of edited but the kind given to the
// entry at index and, for a D_SET or Group pair, to partner; nothing changes
// unless the name checks Ok.
NameCheck ApplyEntryEdit(ExtractionSettings& s, int index, int partner, const TagDefinition& edited);

// Removes the definition at index: a D_SET or Group pair goes whole (its
// other line is the first left with the same line), the kind's counter is
// lowered and the default names renumbered. The indexes removed, each as the
// table stood when it went; none for an index outside the used entries.
std::vector<int> RemoveDefinition(ExtractionSettings& s, int index);

// Bytes to the bracketed tokens of the edit fields and back.
std::string ToTagNotation(const std::string& text);
std::string FromTagNotation(const std::string& text);

}  // namespace tanavo

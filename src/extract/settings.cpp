#include "extract/settings.h"

#include <algorithm>

#include "text/bytes.h"

namespace tanavo {

EntryKind ParseEntryKind(std::string_view text) {
  if (text.empty()) return EntryKind::None;
  if (text == kKindDSet) return EntryKind::DSet;
  if (text == kKindGroup) return EntryKind::Group;
  if (text == kKindData) return EntryKind::Data;
  return EntryKind::Other;
}

const char* EntryKindSpelling(EntryKind kind) {
  switch (kind) {
    case EntryKind::DSet: return kKindDSet;
    case EntryKind::Group: return kKindGroup;
    case EntryKind::Data: return kKindData;
    case EntryKind::None:
    case EntryKind::Other: break;
  }
  return "";
}

bool ParseFlag(std::string_view text) { return text == "Y"; }

const char* FlagSpelling(bool on) { return on ? "Y" : "N"; }

void ResetSettings(ExtractionSettings& s) {
  for (TagDefinition& e : s.entries) e = TagDefinition{};
}

int UsedCount(const ExtractionSettings& s) {
  for (int i = 0; i < kTagEntries; ++i) {
    if (s.entries[i].name.empty()) return i;
  }
  return kTagEntries;
}

bool IsPresent(const ExtractionSettings& s) { return !s.entries[0].name.empty(); }

int FirstEntryOfKind(const ExtractionSettings& s, EntryKind kind) {
  const int used = UsedCount(s);
  for (int i = 0; i < used; ++i) {
    if (s.entries[i].kind == kind) return i;
  }
  return -1;
}

int FindPartner(const ExtractionSettings& s, int index) {
  if (index < 0 || index >= kTagEntries) return -1;
  const TagDefinition& e = s.entries[index];
  if (e.kind == EntryKind::Data) return index;
  int used = UsedCount(s);
  for (int i = 0; i < used; ++i) {
    if (i != index && s.entries[i].name == e.name) return i;
  }
  return -1;
}

std::string TwoDigitNumber(int32_t n) {
  std::string t = "0" + std::to_string(n);
  return t.substr(t.size() - 2);
}

std::string ListLabel(const TagDefinition& e) {
  if (e.kind == EntryKind::Group) return " " + e.name;
  if (e.kind == EntryKind::Data) return "  " + e.name;
  return e.name;
}

bool InsertEntries(ExtractionSettings& s, int index, int count) {
  int used = UsedCount(s);
  if (count < 0 || index < 0 || index > used || count > kTagEntries - used) return false;
  // The whole tail moves, so the empty entry that ends the used ones stays
  // in front of whatever lies beyond it; only slots past the end drop off.
  auto first = s.entries.begin() + index;
  std::move_backward(first, s.entries.end() - count, s.entries.end());
  std::fill(first, first + count, TagDefinition{});
  return true;
}

void RemoveEntry(ExtractionSettings& s, int index) {
  int used = UsedCount(s);
  if (index < 0 || index >= used) return;
  std::move(s.entries.begin() + index + 1, s.entries.begin() + used, s.entries.begin() + index);
  s.entries[used - 1] = TagDefinition{};
}

std::string ToTagNotation(const std::string& text) {
  std::string t = ReplaceAll(text, "\r", "[CR]");
  t = ReplaceAll(t, "\n", "[LF]");
  t = ReplaceAll(t, " ", "[SP]");
  t = ReplaceAll(t, "\x1b", "[EC]");
  return ReplaceAll(t, "\t", "[TB]");
}

std::string FromTagNotation(const std::string& text) {
  std::string t = ReplaceAll(text, "[SP]", " ");
  t = ReplaceAll(t, "[CR]", "\r");
  t = ReplaceAll(t, "[LF]", "\n");
  t = ReplaceAll(t, "[EC]", "\x1b");
  return ReplaceAll(t, "[TB]", "\t");
}

}  // namespace tanavo

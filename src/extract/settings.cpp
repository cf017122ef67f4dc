#include "extract/settings.h"

#include "engine/bytes.h"

namespace tanavo {

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

int FindPartner(const ExtractionSettings& s, int index) {
  if (index < 0 || index >= kTagEntries) return -1;
  const TagDefinition& e = s.entries[index];
  if (e.kind == "Data") return index;
  int used = UsedCount(s);
  for (int i = 0; i < used; ++i) {
    if (i != index && s.entries[i].name == e.name) return i;
  }
  return -1;
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

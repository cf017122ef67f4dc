#include "extract/settings.h"

#include <algorithm>
#include <cmath>

#include "codec/codec.h"
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

namespace {

constexpr std::string_view kDataPrefix = "  Data";
constexpr std::string_view kGroupPrefix = " Group";

bool LineStarts(std::string_view line, std::string_view prefix) { return line.substr(0, prefix.size()) == prefix; }

bool NameStarts(const std::string& name, const char* prefix) {
  return name.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

}  // namespace

void RenumberDefaultNames(ExtractionSettings& s) {
  const int count = UsedCount(s);
  std::vector<std::string> lines(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) lines[static_cast<std::size_t>(i)] = ListLabel(s.entries[static_cast<std::size_t>(i)]);
  // A line and its entry's name change together; the name loses the indent.
  auto set = [&](int i, const std::string& line) {
    lines[static_cast<std::size_t>(i)] = line;
    s.entries[static_cast<std::size_t>(i)].name = RemoveByte(line, ' ');
  };
  int k = 0;
  for (int i = 0; i < count; ++i) {
    if (LineStarts(lines[static_cast<std::size_t>(i)], kDataPrefix)) set(i, std::string(kDataPrefix) + TwoDigitNumber(++k));
  }
  k = 0;
  for (int i = 0; i < count; ++i) {
    const std::string old = lines[static_cast<std::size_t>(i)];
    if (!LineStarts(old, kGroupPrefix)) continue;
    const double parsed = ParseNumber(std::string_view(old).substr(old.size() - 2));
    const long v = std::isfinite(parsed) ? std::lround(parsed) : 0;
    if (k >= v) continue;  // the closing line of a group numbered already
    const std::string line = std::string(kGroupPrefix) + TwoDigitNumber(++k);
    set(i, line);
    // The other line of the pair: searched from two lines below, wrapping
    // around to the top, as far as the line just below.
    int partner = -1;
    for (int step = 2; step <= count + 1; ++step) {
      const int j = (i + step) % count;
      if (j != i && lines[static_cast<std::size_t>(j)] == old) {
        partner = j;
        break;
      }
    }
    if (partner >= 0) set(partner, line);
    // A group that bore the new number takes the old one: numbers swap.
    for (int j = 0; j < count; ++j) {
      if (j != i && j != partner && lines[static_cast<std::size_t>(j)] == line) set(j, old);
    }
  }
}

NameCheck CheckEntryName(const ExtractionSettings& s, int index, int partner, const std::string& name) {
  if (index < 0 || index >= kTagEntries) return NameCheck::NotSet;
  if (name.empty()) return NameCheck::NotSet;
  switch (s.entries[static_cast<std::size_t>(index)].kind.Value()) {
    case EntryKind::DSet:
      if (name == kKindDSet) return NameCheck::NotSet;
      break;
    case EntryKind::Group:
      if (NameStarts(name, kKindGroup)) return NameCheck::NotSet;
      break;
    case EntryKind::Data:
      if (NameStarts(name, kKindData)) return NameCheck::NotSet;
      break;
    case EntryKind::None:
    case EntryKind::Other: break;
  }
  const int used = UsedCount(s);
  for (int i = 0; i < used; ++i) {
    if (i == index || i == partner) continue;
    if (RemoveByte(s.entries[static_cast<std::size_t>(i)].name, ' ') == name) return NameCheck::Taken;
  }
  return NameCheck::Ok;
}

NameCheck ApplyEntryEdit(ExtractionSettings& s, int index, int partner, const TagDefinition& edited) {
  const NameCheck check = CheckEntryName(s, index, partner, edited.name);
  if (check != NameCheck::Ok) return check;
  TagDefinition& e = s.entries[static_cast<std::size_t>(index)];
  const KindText kind = e.kind;
  e = edited;
  e.kind = kind;
  const bool pair = kind == EntryKind::DSet || kind == EntryKind::Group;
  if (pair && partner >= 0 && partner < kTagEntries && partner != index) {
    TagDefinition& p = s.entries[static_cast<std::size_t>(partner)];
    const KindText partnerKind = p.kind;
    p = edited;
    p.kind = partnerKind;
  }
  return NameCheck::Ok;
}

std::vector<int> RemoveDefinition(ExtractionSettings& s, int index) {
  std::vector<int> removed;
  if (index < 0 || index >= UsedCount(s)) return removed;
  const EntryKind kind = s.entries[static_cast<std::size_t>(index)].kind.Value();
  const std::string line = ListLabel(s.entries[static_cast<std::size_t>(index)]);
  RemoveEntry(s, index);
  removed.push_back(index);
  // Only that one line goes with it, so that another definition that happens
  // to share the name (possible in a file read from disk) is kept.
  if (kind == EntryKind::DSet || kind == EntryKind::Group) {
    const int used = UsedCount(s);
    for (int i = 0; i < used; ++i) {
      if (ListLabel(s.entries[static_cast<std::size_t>(i)]) == line) {
        RemoveEntry(s, i);
        removed.push_back(i);
        break;
      }
    }
  }
  if (kind == EntryKind::DSet) --s.dsetPairCount;
  if (kind == EntryKind::Group) --s.groupCounter;
  if (kind == EntryKind::Data) --s.dataCounter;
  RenumberDefaultNames(s);
  return removed;
}

}  // namespace tanavo

#include "engine/walk.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace tanavo {
namespace {

// The partner of every used entry, as FindPartner gives it, worked out once
// per walk so that each step costs no table search.
class Partners {
 public:
  explicit Partners(const ExtractionSettings& s) : used_(UsedCount(s)) {
    // First two used indexes of each name.
    std::unordered_map<std::string_view, std::pair<int, int>> byName;
    for (int i = 0; i < used_; ++i) {
      auto it = byName.emplace(s.entries[i].name, std::make_pair(i, -1)).first;
      if (it->second.first != i && it->second.second < 0) it->second.second = i;
    }
    for (int i = 0; i < used_; ++i) {
      if (s.entries[i].kind == EntryKind::Data) {
        partner_[i] = i;
        continue;
      }
      const std::pair<int, int>& p = byName.at(s.entries[i].name);
      partner_[i] = p.first != i ? p.first : p.second;
    }
  }
  int Used() const { return used_; }
  int Of(int i) const { return i >= 0 && i < used_ ? partner_[i] : -1; }
  Role RoleOf(int i) const {
    int p = Of(i);
    if (i < p) return Role::Opening;
    if (i == p) return Role::Item;
    return Role::Closing;
  }

 private:
  int used_;
  std::array<int, kTagEntries> partner_{};
};

TagMatch Search(const TagDefinition& e, std::string_view text, int32_t from, ExtractMode mode) {
  return ExtractBetweenTags(text, e.rangeStartTag, e.rangeEndTag, from, e.lineEnd, e.nextLineHead, mode);
}

int32_t TextLength(std::string_view text) { return static_cast<int32_t>(text.size()); }

int32_t RegionLimitWith(const ExtractionSettings& s, const Partners& partners, std::string_view text, int h) {
  const int32_t whole = TextLength(text);
  if (h < 0 || h >= partners.Used()) return whole;
  // The block ends at the later entry of the pair: a closing entry that is
  // searched as an opening one is bounded by what follows it, not by the
  // entries inside its own block.
  int b = h;
  if (s.entries[h].kind == EntryKind::Group) b = std::max(h, partners.Of(h));
  int next = -1;
  for (int i = b + 1; i < partners.Used(); ++i) {
    if (s.entries[i].kind != EntryKind::Data && partners.Of(i) > i) {
      next = i;
      break;
    }
  }
  if (next < 0 || next == partners.Used() - 1) return whole;
  TagMatch m1 = Search(s.entries[h], text, 1, ExtractMode::PositionsOnly);
  if (m1.status != MatchStatus::Found) return whole;
  TagMatch m2 = Search(s.entries[next], text, m1.end + 1, ExtractMode::PositionsOnly);
  if (m2.status != MatchStatus::Found) return whole;
  return m2.start - 1;
}

// One walk over the table. Besides the shared walk state it remembers which
// entry pushed each level and where each Group match began, so that it only
// ever pops what it pushed and only repeats a Group that moved forward.
class Walker {
 public:
  Walker(const ExtractionSettings& s, FilePointerStack& stack, WalkState& walk, const WalkHooks& hooks)
      : s_(s), stack_(stack), walk_(walk), hooks_(hooks), partners_(s) {
    limitOf_.fill(-1);
  }

  WalkResult Run(int firstEntry, int32_t recordFrom);

 private:
  bool ShouldStop(int h) const { return hooks_.shouldStop && hooks_.shouldStop(h); }
  // The LastEnd a non-repeated item that is not found leaves (it still
  // reaches its hook as if found empty): the previous entry's, so that a
  // following search-after-previous entry starts where it would have started
  // without it; 0 (search from 1) at the head of a block. Every other entry
  // that matched nothing leaves its LastEnd as it was.
  int32_t CarriedEnd(int h) const {
    if (h <= 0) return 0;
    Role r = partners_.RoleOf(h - 1);
    return r == Role::Opening ? 0 : walk_.lastEnd[h - 1];
  }
  bool PushLevel(int h) {
    if (!stack_.Push(h)) return false;
    pushedBy_[stack_.Depth()] = h;
    return true;
  }
  void PopTo(int depth) {
    while (stack_.Depth() > depth) stack_.Pop();
  }
  // The highest open level pushed by an entry of this kind and name; levels
  // opened by a D_SET are not looked beneath when a Group closes. 0 if none.
  int OpenLevel(EntryKind kind, const std::string& name) const;

  // Each returns false when the walk ends.
  bool DSetStep(int h, int32_t recordFrom, WalkResult& result);
  void GroupStep(int& h);
  void GroupOpen(int& h);
  bool DataStep(int h);
  void Deliver(int h, const TagMatch& m);

  const ExtractionSettings& s_;
  FilePointerStack& stack_;
  WalkState& walk_;
  const WalkHooks& hooks_;
  Partners partners_;
  std::array<int, kStackLevels> pushedBy_{};
  std::array<int32_t, kStackLevels> groupStart_{};
  int32_t groupFrom_ = 1;
  int32_t dataFrom_ = 1;
  int repeatOf_ = -1;  // the Group entry whose closing entry asked for it again
  // Per level searched in: the Group entry whose region limit in that level's
  // text is held, and the limit. One slot per level, so blocks opened inside a
  // repeating Group never take the slot its repeats read.
  std::array<int, kStackLevels> limitOf_{};
  std::array<int32_t, kStackLevels> limit_{};
  bool recordSeen_ = false;
};

int Walker::OpenLevel(EntryKind kind, const std::string& name) const {
  for (int level = stack_.Depth(); level >= 1; --level) {
    const TagDefinition& pusher = s_.entries[pushedBy_[level]];
    if (pusher.kind == kind && pusher.name == name) return level;
    if (kind == EntryKind::Group && pusher.kind == EntryKind::DSet) break;
  }
  return 0;
}

WalkResult Walker::Run(int firstEntry, int32_t recordFrom) {
  WalkResult result;
  stack_.Reset();
  for (int h = firstEntry; h >= 0 && h < partners_.Used(); ++h) {
    const EntryKind kind = s_.entries[h].kind.Value();
    if (kind == EntryKind::None || ShouldStop(h)) break;
    if (kind == EntryKind::DSet) {
      if (!DSetStep(h, recordFrom, result)) break;
    } else if (kind == EntryKind::Group) {
      GroupStep(h);
    } else if (kind == EntryKind::Data) {
      if (!DataStep(h)) break;
    }
  }
  return result;
}

bool Walker::DSetStep(int h, int32_t recordFrom, WalkResult& result) {
  const TagDefinition& e = s_.entries[h];
  // One walk, one record: once it is found, a D_SET entry only closes it
  // (with any block left open inside it), and is never searched again, so a
  // record already reported can neither be reported again nor turn missing.
  if (recordSeen_) {
    int level = OpenLevel(EntryKind::DSet, e.name);
    if (level > 0) PopTo(level - 1);
    return true;
  }
  TagMatch m = Search(e, stack_.TopText(), recordFrom, ExtractMode::WithTags);
  // A match of no bytes (both range tags empty) is no record: taking it would
  // leave the next search where this one began.
  if (m.status != MatchStatus::Found || m.end < m.start) {
    result.recordMissing = true;
    return false;
  }
  recordSeen_ = true;
  result.recordFound = true;
  // Without a level left to hold the record it is still reported, but not
  // looked inside.
  const bool pushed = PushLevel(h);
  if (pushed) stack_.SetTopText(m.text);
  if (hooks_.onRecord) hooks_.onRecord(m);
  result.record = std::move(m);
  return pushed;
}

void Walker::GroupStep(int& h) {
  const TagDefinition& e = s_.entries[h];
  int level = OpenLevel(EntryKind::Group, e.name);
  if (level == 0) {
    GroupOpen(h);
    return;
  }
  // Closing entry. Blocks opened inside this one and never closed are closed
  // with it.
  const int opener = pushedBy_[level];
  const int32_t end = walk_.levelGroupEnd[level];
  const bool advanced = end >= groupStart_[level];  // next search starts past this match
  PopTo(level - 1);
  if (e.applyToMultiple.Value() && advanced && opener < h) {
    repeatOf_ = opener;
    groupFrom_ = end + 1;
    h = opener - 1;  // the loop steps on to the opening entry
  }
}

void Walker::GroupOpen(int& h) {
  const TagDefinition& e = s_.entries[h];
  const int partner = partners_.Of(h);
  const bool repeat = repeatOf_ == h;
  repeatOf_ = -1;
  // Only a repeat carries the position on; any other block is searched from
  // the start of the text it is looked for in.
  if (!repeat) groupFrom_ = 1;
  if (h > 0 && e.searchAfterPrevious.Value() && partners_.RoleOf(h - 1) != Role::Opening) {
    groupFrom_ = std::max(groupFrom_, walk_.lastEnd[h - 1] + 1);
  }
  std::string_view text = stack_.TopText();
  TagMatch m = Search(e, text, groupFrom_, ExtractMode::WithTags);
  // A repeat searches the same enclosing text again, so its limit stands:
  // worked out once per enclosing text, however deep its blocks nest.
  const int level = stack_.Depth();
  if (!repeat || limitOf_[level] != h) {
    limitOf_[level] = h;
    limit_[level] = RegionLimitWith(s_, partners_, text, h);
  }
  const int32_t limit = limit_[level];
  if (m.status == MatchStatus::Found && m.start <= limit && PushLevel(h)) {
    const int depth = stack_.Depth();
    walk_.levelGroupEntry[depth] = h;
    walk_.levelGroupEnd[depth] = m.end;
    groupStart_[depth] = m.start;
    if (partner >= 0) walk_.lastEnd[partner] = m.end;
    // A closing entry searched as an opening one opens a level: the entries
    // after it search its text from the start.
    if (partner < h) walk_.lastEnd[h] = 0;
    stack_.SetTopText(std::move(m.text));
    if (hooks_.onGroup) hooks_.onGroup(h);
    return;
  }
  // Not accepted (missing, beyond the limit, or no level left for it): no
  // LastEnd changes. A repeated block is skipped with its closing entry.
  if (partner > h && e.applyToMultiple.Value()) h = partner;
  if (e.applyToMultiple.Value()) groupFrom_ = 1;
}

void Walker::Deliver(int h, const TagMatch& m) {
  // Without a level for it the item still reaches the hook, with the text
  // beneath left as it is.
  bool pushed = PushLevel(h);
  if (pushed) stack_.SetTopText(m.text);
  if (hooks_.onItem) hooks_.onItem(h, m.text);
  if (pushed) stack_.Pop();
}

bool Walker::DataStep(int h) {
  const TagDefinition& e = s_.entries[h];
  if (h > 0) {
    dataFrom_ = e.searchAfterPrevious.Value() && partners_.RoleOf(h - 1) != Role::Opening ? walk_.lastEnd[h - 1] + 1 : 1;
  }
  std::string_view text = stack_.TopText();
  TagMatch m = Search(e, text, dataFrom_, ExtractMode::WithTags);
  if (!e.applyToMultiple.Value()) {
    walk_.lastEnd[h] = m.status == MatchStatus::Found ? m.end : CarriedEnd(h);
    Deliver(h, m);
    return true;
  }
  // The enclosing text is the same for every occurrence, and so is its limit.
  const int32_t limit = RegionLimitWith(s_, partners_, text, h);
  while (m.status == MatchStatus::Found && m.start < limit) {
    walk_.lastEnd[h] = m.end;
    Deliver(h, m);
    const int32_t next = m.end + 1;
    if (next <= dataFrom_) break;  // a match of no bytes would be found again and again
    dataFrom_ = next;
    if (ShouldStop(h)) return false;
    m = Search(e, text, dataFrom_, ExtractMode::WithTags);
  }
  dataFrom_ = 1;
  return true;
}

}  // namespace

Role EntryRole(const ExtractionSettings& s, int entry) {
  int p = FindPartner(s, entry);
  if (entry < p) return Role::Opening;
  if (entry == p) return Role::Item;
  return Role::Closing;
}

int32_t RegionLimit(const ExtractionSettings& s, const FilePointerStack& stack, int entry) {
  return RegionLimitWith(s, Partners(s), stack.TopText(), entry);
}

void ResetLastEnd(WalkState& walk) { walk.lastEnd.fill(1); }

WalkResult WalkRecord(const ExtractionSettings& s, FilePointerStack& stack, WalkState& walk, int firstEntry,
                      int32_t recordFrom, const WalkHooks& hooks) {
  return Walker(s, stack, walk, hooks).Run(firstEntry, recordFrom);
}

bool WalkReadsFileForRecordOnly(const ExtractionSettings& s) {
  const int used = UsedCount(s);
  if (used == 0 || s.entries[0].kind.Value() != EntryKind::DSet) return false;
  bool closed = false;
  for (int h = 1; h < used; ++h) {
    const EntryKind kind = s.entries[h].kind.Value();
    if (kind == EntryKind::None) break;  // the walk stops there
    if (kind == EntryKind::DSet && s.entries[h].name == s.entries[0].name) closed = true;
    if (closed && (kind == EntryKind::Group || kind == EntryKind::Data)) return false;
  }
  return true;
}

}  // namespace tanavo

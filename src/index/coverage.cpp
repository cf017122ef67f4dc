#include "index/coverage.h"

#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/tag_match.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

// Tenths of a percent, rounded down, so that a file with one byte outside
// its records never shows 100.0%.
std::string PercentText(int64_t part, int64_t whole) {
  if (whole <= 0) return "0.0%";
  const long long tenths = static_cast<long long>((static_cast<long double>(part) * 1000) / whole);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

// Accounts the bytes [from, to) between records: a gap; a finding when it
// holds anything but white space, covering its first to its last such byte.
void CountGap(std::string_view mobile, std::size_t from, std::size_t to, Coverage* c) {
  if (to <= from) return;
  c->gapBytes += static_cast<int64_t>(to - from);
  std::size_t first = from;
  while (first < to && IsGapBlank(static_cast<unsigned char>(mobile[first]))) ++first;
  if (first == to) return;
  std::size_t last = to;
  while (IsGapBlank(static_cast<unsigned char>(mobile[last - 1]))) --last;
  CoverageFinding f;
  f.kind = CoverageKind::NonBlankGap;
  f.offset = static_cast<int64_t>(first);
  f.length = static_cast<int64_t>(last - first);
  c->findings.push_back(f);
  ++c->nonBlankGaps;
}

// The first 0-based at in [from, end - tag.size()] where tag lies in mobile
// at the start of a line (the byte before it a CR or LF) or, for a tag that
// begins with a line break itself, anywhere; npos if none. It runs over the
// body of every record beside index creation, so it looks at 64 places at
// once: a place is a candidate when the tag's first and last bytes are where
// they belong, which inside a body of text is rare; only candidates are
// looked at whole.
std::size_t NextStartTag(std::string_view mobile, std::string_view tag, std::size_t from, std::size_t end) {
  const bool ownLineBreak = tag.front() == '\r' || tag.front() == '\n';
  // i is a candidate's line break before the tag (its first byte, for a tag
  // that begins with one): the tag starts lead after it, its last byte d after.
  const std::size_t lead = ownLineBreak ? 0 : 1;
  const std::size_t d = lead + tag.size() - 1;
  if (end > mobile.size() || end < d + 1) return std::string_view::npos;
  const std::size_t last = end - d - 1;  // the last i whose tag ends inside [.., end)
  std::size_t i = from > lead ? from - lead : 0;
  const char* const p = mobile.data();
  const auto isAt = [&](std::size_t c) {
    return (ownLineBreak || p[c] == '\n' || p[c] == '\r') && mobile.compare(c + lead, tag.size(), tag) == 0;
  };
#if defined(__SSE2__)
  const __m128i firstByte = _mm_set1_epi8(tag.front());
  const __m128i lastByte = _mm_set1_epi8(tag.back());
  const auto candidates = [&](std::size_t at) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + lead));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + d));
    return _mm_and_si128(_mm_cmpeq_epi8(a, firstByte), _mm_cmpeq_epi8(b, lastByte));
  };
  const auto bits = [](__m128i m) { return static_cast<unsigned>(_mm_movemask_epi8(m)); };
  // 64 places a step while they last: one test of the four blocks together
  // is all most steps take.
  for (; i <= last && last - i >= 63; i += 64) {
    const __m128i m0 = candidates(i), m1 = candidates(i + 16), m2 = candidates(i + 32), m3 = candidates(i + 48);
    if (bits(_mm_or_si128(_mm_or_si128(m0, m1), _mm_or_si128(m2, m3))) == 0) continue;
    const uint64_t mask = bits(m0) | static_cast<uint64_t>(bits(m1)) << 16 | static_cast<uint64_t>(bits(m2)) << 32 |
                          static_cast<uint64_t>(bits(m3)) << 48;
    for (uint64_t m = mask; m != 0; m &= m - 1) {
      const std::size_t c = i + static_cast<std::size_t>(__builtin_ctzll(m));
      if (isAt(c)) return c + lead;
    }
  }
  for (; i <= last && last - i >= 15; i += 16) {
    for (unsigned m = bits(candidates(i)); m != 0; m &= m - 1) {
      const std::size_t c = i + static_cast<std::size_t>(__builtin_ctz(m));
      if (isAt(c)) return c + lead;
    }
  }
#endif
  for (; i <= last; ++i) {
    if (p[i + d] == tag.back() && isAt(i)) return i + lead;
  }
  return std::string_view::npos;
}

// The record [start, end) holds the start tag again at the start of a line
// (or anywhere, for a start tag that begins with a line break itself): one
// finding for each time.
void FindMerged(std::string_view mobile, std::string_view startTag, std::size_t start, std::size_t end,
                int32_t record, Coverage* c) {
  if (startTag.empty()) return;
  for (std::size_t at = NextStartTag(mobile, startTag, start + 1, end); at != std::string_view::npos;
       at = NextStartTag(mobile, startTag, at + 1, end)) {
    CoverageFinding f;
    f.kind = CoverageKind::MergedRecords;
    f.offset = static_cast<int64_t>(at);
    f.length = static_cast<int64_t>(end - start);
    f.record = record;
    c->findings.push_back(f);
    ++c->mergedRecords;
  }
}

// A record found from start to end (offsets, end past its last byte):
// counted, as indexed or as one of the records left out after the index's
// last record.
void CountRecord(std::uint64_t start, std::uint64_t end, int64_t start1, int64_t lastIndexed, Coverage* c,
                 CoverageFinding* leftOut) {
  ++c->recordsFound;
  const int64_t bytes = static_cast<int64_t>(end - start);
  c->recordBytes += bytes;
  if (start1 <= lastIndexed) {
    c->indexedBytes += bytes;
    return;
  }
  if (c->recordsLeftOut == 0) {
    leftOut->offset = static_cast<int64_t>(start);
    leftOut->record = c->recordsFound;
  }
  ++c->recordsLeftOut;
  leftOut->length = static_cast<int64_t>(end) - leftOut->offset;
}

// A start tag at start without its end tag before the end of the file.
void CountCutTail(std::uint64_t start, Coverage* c) {
  CoverageFinding f;
  f.kind = CoverageKind::CutTail;
  f.offset = static_cast<int64_t>(start);
  f.length = c->fileBytes - f.offset;
  f.record = c->recordsFound + 1;
  c->findings.push_back(f);
  c->cutTail = true;
  c->cutBytes = f.length;
}

// The records left out are one finding, kept in offset order: after every
// finding before the first of them.
void AddLeftOut(CoverageFinding leftOut, Coverage* c) {
  if (c->recordsLeftOut == 0) return;
  leftOut.records = c->recordsLeftOut;
  std::size_t at = c->findings.size();
  while (at > 0 && c->findings[at - 1].offset > leftOut.offset) --at;
  c->findings.insert(c->findings.begin() + static_cast<std::ptrdiff_t>(at), leftOut);
}

}  // namespace

std::string CoverageOffsetText(int64_t offset) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%08llX", static_cast<unsigned long long>(offset));
  return buf;
}

bool IsGapBlank(unsigned char b) { return b == ' ' || b == '\t' || b == '\r' || b == '\n' || b == '\f' || b == '\v'; }

CoverageWalk::CoverageWalk(std::string_view mobile, const ExtractionSettings& s, const RecordIndex& index)
    : mobile_(mobile), index_(index), dset_(FirstEntryOfKind(s, EntryKind::DSet)) {
  if (dset_ >= 0) entry_ = &s.entries[static_cast<std::size_t>(dset_)];
  c_.made = true;
  c_.fileBytes = static_cast<int64_t>(mobile.size());
  // Records after the index's last one were left out; an index of no record
  // leaves out every record found.
  lastIndexed_ = HoldsRecord(index, index.count) ? index.positions[static_cast<std::size_t>(index.count)] : 0;
  leftOut_.kind = CoverageKind::LeftOut;
}

void CoverageWalk::Take(int32_t start1, int32_t end1) {
  if (start1 < 1 || end1 < start1 || static_cast<std::size_t>(end1) > mobile_.size() ||
      static_cast<std::size_t>(start1) <= gapFrom_) {
    return;  // not a record after the ones taken: the walk keeps to its own account
  }
  const std::size_t start = static_cast<std::size_t>(start1) - 1;
  const std::size_t end = static_cast<std::size_t>(end1);
  CountGap(mobile_, gapFrom_, start, &c_);
  CountRecord(start, end, start1, lastIndexed_, &c_, &leftOut_);
  if (entry_) FindMerged(mobile_, entry_->rangeStartTag, start, end, c_.recordsFound, &c_);
  gapFrom_ = end;
}

Coverage CoverageWalk::Finish() {
  if (entry_) {
    // The records are looked for as index creation looks for them: each
    // after the end of the one before, while a byte is left before the last.
    const TagDefinition& e = *entry_;
    int64_t from = static_cast<int64_t>(gapFrom_) + 1;
    while (from < c_.fileBytes) {
      const TagMatch m = ExtractBetweenTags(mobile_, e.rangeStartTag, e.rangeEndTag, static_cast<int32_t>(from),
                                            e.lineEnd, e.nextLineHead, ExtractMode::PositionsOnly);
      if (m.status == MatchStatus::StartWithoutEnd) {
        const int32_t at = FindBytes(static_cast<int32_t>(from), mobile_, e.rangeStartTag);
        if (at <= 0) break;
        const std::size_t start = static_cast<std::size_t>(at) - 1;
        CountGap(mobile_, gapFrom_, start, &c_);
        CountCutTail(start, &c_);
        gapFrom_ = mobile_.size();
        break;
      }
      if (m.status != MatchStatus::Found || m.end < m.start) break;
      Take(m.start, m.end);
      from = static_cast<int64_t>(m.end) + 1;
    }
  }
  c_.recordsIndexed = index_.count;
  AddLeftOut(leftOut_, &c_);
  CountGap(mobile_, gapFrom_, mobile_.size(), &c_);
  gapFrom_ = mobile_.size();
  return std::move(c_);
}

Coverage ComputeCoverage(std::string_view mobile, const ExtractionSettings& s, const RecordIndex& index) {
  return CoverageWalk(mobile, s, index).Finish();
}

namespace {

// CoverageWalk over a window: the same account, each record's bytes read
// when it is found.
class WindowedCoverage {
 public:
  WindowedCoverage(FileWindow& w, const ExtractionSettings& s, const RecordIndex& index) : w_(w), index_(index) {
    const int dset = FirstEntryOfKind(s, EntryKind::DSet);
    if (dset >= 0) entry_ = &s.entries[static_cast<std::size_t>(dset)];
    c_.made = true;
    c_.fileBytes = static_cast<int64_t>(w.FileBytes());
    lastIndexed_ = HoldsRecord(index, index.count) ? index.positions[static_cast<std::size_t>(index.count)] : 0;
    leftOut_.kind = CoverageKind::LeftOut;
  }

  bool Run(Coverage* out) {
    const std::uint64_t size = w_.FileBytes();
    if (entry_) {
      const TagDefinition& e = *entry_;
      int64_t from = static_cast<int64_t>(gapFrom_) + 1;
      while (from < c_.fileBytes) {
        TagMatch m;
        if (!FindRangeInFile(w_, e, from, ExtractMode::PositionsOnly, &m)) return false;
        if (m.status == MatchStatus::StartWithoutEnd) {
          // Known only with the rest of the file in the window.
          const std::uint64_t base = w_.Base();
          const int32_t at = FindBytes(static_cast<int32_t>(from - static_cast<int64_t>(base)), w_.View(), e.rangeStartTag);
          if (at <= 0) break;
          const std::uint64_t start = base + static_cast<std::uint64_t>(at) - 1;
          if (!CountGapInPieces(gapFrom_, start)) return false;
          CountCutTail(start, &c_);
          gapFrom_ = size;
          break;
        }
        if (m.status != MatchStatus::Found || m.end < m.start) break;
        if (!Take(m.start, m.end)) return false;
        from = static_cast<int64_t>(m.end) + 1;
      }
    }
    c_.recordsIndexed = index_.count;
    AddLeftOut(leftOut_, &c_);
    if (!CountGapInPieces(gapFrom_, size)) return false;
    *out = std::move(c_);
    return true;
  }

 private:
  bool Take(int32_t start1, int32_t end1) {
    if (start1 < 1 || end1 < start1 || static_cast<std::uint64_t>(end1) > w_.FileBytes() ||
        static_cast<std::uint64_t>(start1) <= gapFrom_) {
      return true;
    }
    const std::uint64_t start = static_cast<std::uint64_t>(start1) - 1;
    const std::uint64_t end = static_cast<std::uint64_t>(end1);
    if (!CountGapInPieces(gapFrom_, start)) return false;
    CountRecord(start, end, start1, lastIndexed_, &c_, &leftOut_);
    if (entry_) {
      if (!w_.Cover(start, static_cast<std::size_t>(end - start))) return false;
      const std::size_t base = static_cast<std::size_t>(w_.Base());
      const std::size_t records = c_.findings.size();
      FindMerged(w_.View(), entry_->rangeStartTag, static_cast<std::size_t>(start) - base,
                 static_cast<std::size_t>(end) - base, c_.recordsFound, &c_);
      for (std::size_t i = records; i < c_.findings.size(); ++i) c_.findings[i].offset += static_cast<int64_t>(base);
    }
    gapFrom_ = end;
    return true;
  }

  // CountGap of [from, to), read a window at a time.
  bool CountGapInPieces(std::uint64_t from, std::uint64_t to) {
    if (to <= from) return true;
    c_.gapBytes += static_cast<int64_t>(to - from);
    int64_t first = -1;
    int64_t last = -1;
    for (std::uint64_t at = from; at < to;) {
      if (!w_.Cover(at, static_cast<std::size_t>(std::min<std::uint64_t>(to - at, kFileWindowBytes)))) return false;
      const std::string_view view = w_.View();
      const std::uint64_t base = w_.Base();
      const std::uint64_t stop = std::min(to, w_.End());
      for (std::uint64_t i = at; i < stop; ++i) {
        if (IsGapBlank(static_cast<unsigned char>(view[static_cast<std::size_t>(i - base)]))) continue;
        if (first < 0) first = static_cast<int64_t>(i);
        last = static_cast<int64_t>(i);
      }
      at = stop;
    }
    if (first < 0) return true;
    CoverageFinding f;
    f.kind = CoverageKind::NonBlankGap;
    f.offset = first;
    f.length = last + 1 - first;
    c_.findings.push_back(f);
    ++c_.nonBlankGaps;
    return true;
  }

  FileWindow& w_;
  const RecordIndex& index_;
  const TagDefinition* entry_ = nullptr;
  int64_t lastIndexed_ = 0;
  std::uint64_t gapFrom_ = 0;
  CoverageFinding leftOut_;
  Coverage c_;
};

}  // namespace

bool ComputeCoverageInPieces(FileWindow& window, const ExtractionSettings& s, const RecordIndex& index,
                             Coverage* coverage) {
  return WindowedCoverage(window, s, index).Run(coverage);
}

std::string CoverageFindingText(const CoverageFinding& f, bool withOffset) {
  const std::string at = withOffset ? CoverageOffsetText(f.offset) + ": " : std::string();
  const std::string bytes = std::to_string(f.length) + "バイト";
  switch (f.kind) {
    case CoverageKind::CutTail:
      return at + std::to_string(f.record) + "件目のレコードが途中で切れています (終了タグがないまま、ファイルが終わるまでの" +
             bytes + "は一覧に載りません)";
    case CoverageKind::MergedRecords:
      return at + std::to_string(f.record) + "件目のレコードの中に、行頭の開始タグがもう一度あります (終了タグが抜けて、" +
             "2件のレコードが1件になっています)";
    case CoverageKind::NonBlankGap:
      return at + "レコードの外に空白以外のデータが" + bytes + "あります";
    case CoverageKind::LeftOut:
      return at + std::to_string(f.record) + "件目から" + std::to_string(f.records) +
             "件のレコードが、インデックスの上限を超えたため登録されていません (" + bytes + ")";
  }
  return at;
}

std::string CoverageSummaryText(const Coverage& c) {
  std::string t = "レコード " + std::to_string(c.recordsFound) + "件";
  if (c.recordsLeftOut > 0) t += " (登録 " + std::to_string(c.recordsIndexed) + "件)";
  t += "、レコード内 " + PercentText(c.recordBytes, c.fileBytes);
  t += c.findings.empty() ? "、指摘なし" : "、指摘 " + std::to_string(c.findings.size()) + "件";
  return t;
}

std::string CoverageStatusText(const Coverage& c) {
  return "全" + std::to_string(c.recordsFound) + "件 " +
         (c.findings.empty() ? std::string("指摘なし") : "指摘" + std::to_string(c.findings.size()) + "件");
}

bool CoverageLeavesRecordsOut(const Coverage& c) { return c.recordsLeftOut > 0 || c.cutTail; }

}  // namespace tanavo

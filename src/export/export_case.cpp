#include "export/export_case.h"

#include <algorithm>
#include <cstdio>

#include "export/case_open.h"
#include "export/export_text.h"

namespace tanavo {

namespace {

constexpr std::string_view kJoin = " | ";

// The timeline image: its size in pixels and the margins that hold the
// axis texts.
constexpr int kTimelineWidth = 800;
constexpr int kTimelineHeight = 180;
constexpr int kTimelineLeft = 50;
constexpr int kTimelineRight = 20;
constexpr int kTimelineTop = 20;
constexpr int kTimelineBottom = 30;
// A bar no wider than this, however few the days.
constexpr double kTimelineMaxBar = 24;

std::string Own(const char* text) { return HtmlText(text); }

// Days since 1970-01-01 of a "yyyy-mm-dd" date; false when the text is none.
bool DayNumber(const std::string& date, int64_t* days) {
  if (date.size() != 10 || date[4] != '-' || date[7] != '-') return false;
  int64_t parts[3] = {0, 0, 0};
  const std::size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
  for (int i = 0; i < 3; ++i) {
    for (std::size_t k = starts[i]; k < starts[i] + lengths[i]; ++k) {
      if (date[k] < '0' || date[k] > '9') return false;
      parts[i] = parts[i] * 10 + (date[k] - '0');
    }
  }
  const int64_t m = parts[1], d = parts[2];
  if (m < 1 || m > 12 || d < 1 || d > 31) return false;
  // The civil calendar counted from March, so that the leap day ends a year.
  const int64_t y = parts[0] - (m <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  *days = era * 146097 + doe - 719468;
  return true;
}

std::string Fixed(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

}  // namespace

bool ExportCase::Open(Platform& p, const std::string& path, const std::string& mobileSha256,
                      const std::string& indexSha256) {
  path_ = path;
  if (!OpenBuiltCase(p, path, &file_)) return false;
  bool mobileSame = false, indexSame = false;
  for (const CaseEvidence& e : file_->Evidence()) {
    if (e.role == "mobile") mobileSame = e.sha256 == mobileSha256;
    if (e.role == "index") indexSame = e.sha256 == indexSha256;
  }
  if (!mobileSame || !indexSame) {
    CaseBox(p, "このケースファイルは別のインデックスから作成されています!!\r\n" + path);
    return false;
  }
  if (!ListTags(*file_, &tags_)) {
    CaseBox(p, "ケースファイルを読めません!!\r\n" + file_->LastError());
    return false;
  }
  for (std::size_t i = 0; i < tags_.size(); ++i) {
    auto [at, made] = tagsOf_.try_emplace(tags_[i].record, i, i + 1);
    if (!made) at->second.second = i + 1;
  }
  times_ = std::make_unique<CaseTimes>(*file_);
  return true;
}

RecordChoice ExportCase::TaggedChoice() const {
  std::vector<int32_t> numbers;
  for (const auto& [record, range] : tagsOf_) numbers.push_back(record);
  return RecordChoice::Of(numbers);
}

void ExportCase::TagsOf(int32_t n, std::string* labels, std::string* notes) const {
  labels->clear();
  notes->clear();
  const auto at = tagsOf_.find(n);
  if (at == tagsOf_.end()) return;
  for (std::size_t i = at->second.first; i < at->second.second; ++i) {
    if (i > at->second.first) *labels += kJoin;
    *labels += tags_[i].label;
    if (tags_[i].note.empty()) continue;
    if (!notes->empty()) *notes += kJoin;
    *notes += tags_[i].note;
  }
}

CaseTime ExportCase::TimeOf(int32_t n) { return times_ ? times_->Of(n) : CaseTime(); }

bool ExportCase::CloseAndHash(EvidenceFile* e) {
  // What the case's log holds goes into the file first (here, and by the
  // last connection as it closes), so that the file hashed is the case as
  // it stays, also while the window program has it open; a checkpoint a
  // reader holds back is no failure.
  times_.reset();
  if (file_) static_cast<void>(file_->Exec("PRAGMA wal_checkpoint(PASSIVE)"));
  file_.reset();
  e->role = "ケースファイル";
  e->path = path_;
  const std::size_t slash = path_.find_last_of("/\\");
  e->name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
  return HashFile(path_, &e->sha256, &e->size);
}

std::string TsvUtf8(std::string_view utf8) {
  std::string out;
  for (const char c : utf8) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (b < 0x20 || b == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", b);
      out += buf;
    } else {
      out += c;
    }
  }
  return TsvCell(out);
}

void Timeline::Add(const CaseTime& t) {
  int64_t day = 0;
  const std::string date = t.local.substr(0, 10);
  if (t.found && DayNumber(date, &day)) {
    ++days_[date];
  } else {
    ++withoutTime_;
  }
}

std::string Timeline::Section() const {
  int64_t withTime = 0, most = 0, first = 0, last = 0;
  for (const auto& [date, n] : days_) {
    withTime += n;
    most = std::max(most, n);
  }
  std::string html = "<h2>" + Own("日ごとのレコード数") + "</h2>\n<p>" + Own("時刻のあるレコード ") +
                     std::to_string(withTime) + Own("件 (") + std::to_string(days_.size()) + Own("日、最も多い日 ") +
                     std::to_string(most) + Own("件)、時刻のないレコード ") + std::to_string(withoutTime_) +
                     Own("件。日付はレコードの時計のとおり (時間帯を換算しない) です。") + "</p>\n";
  if (days_.empty()) return html;
  DayNumber(days_.begin()->first, &first);
  DayNumber(days_.rbegin()->first, &last);
  const int64_t span = last - first + 1;
  const double plotWidth = kTimelineWidth - kTimelineLeft - kTimelineRight;
  const double plotHeight = kTimelineHeight - kTimelineTop - kTimelineBottom;
  const double barWidth = std::min(kTimelineMaxBar, std::max(1.0, plotWidth / static_cast<double>(span)));
  const int baseline = kTimelineHeight - kTimelineBottom;
  html += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kTimelineWidth) + "\" height=\"" +
          std::to_string(kTimelineHeight) + "\" viewBox=\"0 0 " + std::to_string(kTimelineWidth) + " " +
          std::to_string(kTimelineHeight) + "\" role=\"img\" aria-label=\"" + Own("日ごとのレコード数") +
          "\" font-size=\"12\" font-family=\"sans-serif\">\n";
  html += "<line x1=\"" + std::to_string(kTimelineLeft) + "\" y1=\"" + std::to_string(baseline) + "\" x2=\"" +
          std::to_string(kTimelineWidth - kTimelineRight) + "\" y2=\"" + std::to_string(baseline) +
          "\" stroke=\"#555\"/>\n";
  for (const auto& [date, n] : days_) {
    int64_t day = 0;
    DayNumber(date, &day);
    const double x = kTimelineLeft + plotWidth * static_cast<double>(day - first) / static_cast<double>(span);
    const double h = std::max(1.0, plotHeight * static_cast<double>(n) / static_cast<double>(most));
    html += "<rect x=\"" + Fixed(x) + "\" y=\"" + Fixed(baseline - h) + "\" width=\"" + Fixed(barWidth) +
            "\" height=\"" + Fixed(h) + "\" fill=\"#3a6ea5\"><title>" + date + ": " + std::to_string(n) + Own("件") +
            "</title></rect>\n";
  }
  html += "<text x=\"" + std::to_string(kTimelineLeft - 6) + "\" y=\"" + std::to_string(kTimelineTop + 4) +
          "\" text-anchor=\"end\">" + std::to_string(most) + "</text>\n";
  html += "<text x=\"" + std::to_string(kTimelineLeft - 6) + "\" y=\"" + std::to_string(baseline) +
          "\" text-anchor=\"end\">0</text>\n";
  html += "<text x=\"" + std::to_string(kTimelineLeft) + "\" y=\"" + std::to_string(kTimelineHeight - 8) + "\">" +
          days_.begin()->first + "</text>\n";
  html += "<text x=\"" + std::to_string(kTimelineWidth - kTimelineRight) + "\" y=\"" +
          std::to_string(kTimelineHeight - 8) + "\" text-anchor=\"end\">" + days_.rbegin()->first + "</text>\n";
  return html + "</svg>\n";
}

std::string TaggedSection(const std::vector<CaseTag>& tags, const RecordChoice& chosen,
                          const std::vector<ReportPage>& pages) {
  std::string html = "<h2>" + Own("タグを付けたレコード") + "</h2>\n";
  if (tags.empty()) return html + "<p>" + Own("タグを付けたレコードはありません。") + "</p>\n";
  html += "<table>\n<tr><th>" + Own("番号") + "</th><th>" + Own("タグ") + "</th><th>" + Own("メモ") + "</th><th>" +
          Own("一覧行") + "</th></tr>\n";
  for (const CaseTag& t : tags) {
    const std::string n = std::to_string(t.record);
    // The page that holds the record: pages are in record order.
    const auto page = std::partition_point(pages.begin(), pages.end(),
                                           [&](const ReportPage& p) { return p.last < t.record; });
    const bool linked = chosen.Holds(t.record) && page != pages.end() && page->first <= t.record;
    std::string cell = n;
    if (linked) {
      const int32_t k = static_cast<int32_t>(page - pages.begin()) + 1;
      cell = "<a href=\"" + std::string(kPagesFolder) + "/" + PageFileName(k) + "#r" + RecordNumber6(t.record) +
             "\">" + n + "</a>";
    } else {
      cell += " <span class=\"nolink\">(" + Own("書き出していません") + ")</span>";
    }
    html += "<tr><td class=\"n\">" + cell + "</td><td>" + HtmlUtf8(t.label) + "</td><td>" + HtmlUtf8(t.note) +
            "</td><td class=\"line\">" + HtmlText(t.listLine) + "</td></tr>\n";
  }
  return html + "</table>\n";
}

}  // namespace tanavo

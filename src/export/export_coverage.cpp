#include "export/export_coverage.h"

#include "export/export_text.h"
#include "index/coverage.h"

namespace tanavo {

namespace {

std::string Own(const char* text) { return HtmlText(text); }

std::string Row(const char* label, const std::string& value) {
  return "<tr><th>" + Own(label) + "</th><td class=\"n\">" + value + "</td></tr>\n";
}

// Tenths of a percent, rounded down: one byte outside never shows 100.0%.
std::string Percent(int64_t part, int64_t whole) {
  if (whole <= 0) return "0.0%";
  const long long tenths = static_cast<long long>((static_cast<long double>(part) * 1000) / whole);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

const char* KindName(CoverageKind k) {
  switch (k) {
    case CoverageKind::CutTail: return "途中で切れたレコード";
    case CoverageKind::MergedRecords: return "つながったレコード";
    case CoverageKind::NonBlankGap: return "レコード外のデータ";
    case CoverageKind::LeftOut: return "登録されていないレコード";
  }
  return "";
}

}  // namespace

std::string ReportCoverage(const Coverage& c, int32_t exported) {
  std::string s = "<h2>" + Own("網羅性") + "</h2>\n<table>\n";
  s += Row("携帯ファイルのレコード", std::to_string(c.recordsFound));
  s += Row("書き出したレコード", std::to_string(exported));
  s += Row("レコード内のバイト", std::to_string(c.recordBytes) + " / " + std::to_string(c.fileBytes) + " (" +
                                    Percent(c.recordBytes, c.fileBytes) + ")");
  s += Row("書き出したレコードのバイト", std::to_string(c.indexedBytes) + " (" + Percent(c.indexedBytes, c.fileBytes) + ")");
  s += Row("レコード間と末尾のバイト", std::to_string(c.gapBytes));
  if (c.cutTail) s += Row("途中で切れたレコードのバイト", std::to_string(c.cutBytes));
  s += "</table>\n";
  if (c.findings.empty()) {
    return s + "<p>" + Own("切れたレコード、つながったレコード、登録されていないレコード、空白以外を含むレコード間のデータはありません。") +
           "</p>\n";
  }
  s += "<table>\n<tr><th>" + Own("オフセット") + "</th><th>" + Own("種類") + "</th><th>" + Own("内容") + "</th></tr>\n";
  for (const CoverageFinding& f : c.findings) {
    const std::string kind = f.kind == CoverageKind::NonBlankGap ? "" : " class=\"missing\"";
    s += "<tr><td class=\"mono\">" + CoverageOffsetText(f.offset) + "</td><td" + kind + ">" + Own(KindName(f.kind)) +
         "</td><td>" + HtmlText(CoverageFindingText(f, false)) + "</td></tr>\n";
  }
  return s + "</table>\n";
}

}  // namespace tanavo

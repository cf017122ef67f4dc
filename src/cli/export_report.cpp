#include "cli/export_report.h"

#include <cstdio>

#include "cli/export_text.h"
#include "platform/console/utf8.h"

namespace tanavo {

namespace {

// Only inline styles may apply and nothing may run or load, even if a value
// ever got past the escaping.
constexpr const char* kHead =
    "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";

constexpr const char* kStyle =
    "<style>\n"
    "body { font-family: sans-serif; margin: 1.5em; color: #222; }\n"
    "h1 { font-size: 1.5em; } h2 { font-size: 1.2em; margin-top: 1.5em; border-bottom: 1px solid #999; }\n"
    "table { border-collapse: collapse; margin-bottom: 0.8em; }\n"
    "th, td { border: 1px solid #bbb; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }\n"
    "th { background: #eee; white-space: nowrap; }\n"
    "td.n { text-align: right; } .hash, .path, .mono { font-family: monospace; }\n"
    ".hash { word-break: break-all; }\n"
    "td.line { white-space: pre-wrap; } td.files { white-space: nowrap; }\n"
    "pre { white-space: pre-wrap; word-break: break-all; background: #f7f7f7; border: 1px solid #ddd; "
    "padding: 0.5em; }\n"
    "details { margin: 0.3em 0; } summary { cursor: pointer; white-space: pre-wrap; }\n"
    ".x { color: #a00; background: #fdd; font-family: monospace; }\n"
    ".missing { color: #a00; }\n"
    "</style>\n";

// A text of this file's own (compiled to Shift_JIS) as HTML in UTF-8.
std::string Own(const char* text) { return HtmlText(text); }

std::string Link(const std::string& folder, const std::string& nativeName, const std::string& shownHtml) {
  return "<a href=\"" + folder + "/" + UrlPathSegment(NativeNameToUtf8(nativeName)) + "\">" + shownHtml + "</a>";
}

std::string SectionId(int32_t n) { return "r" + RecordNumber4(n); }

}  // namespace

std::string RecordNumber4(int32_t n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d", static_cast<int>(n));
  return buf;
}

std::string HexOffset(int32_t position) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(position > 0 ? position - 1 : 0));
  return buf;
}

std::string ReportRow(const ReportRecord& r) {
  const std::string n = std::to_string(r.number);
  std::string row = "<tr><td class=\"n\"><a href=\"#" + SectionId(r.number) + "\">" + n + "</a></td><td class=\"mono\">" +
                    HexOffset(r.position) + "</td><td class=\"line\">" + HtmlText(r.listLine) + "</td><td>";
  row += r.found ? Link(kRecordsFolder, r.textFile, HtmlUtf8(NativeNameToUtf8(r.textFile)))
                 : "<span class=\"missing\">" + Own("見つかりません") + "</span>";
  row += "</td><td class=\"files\">";
  for (std::size_t i = 0; i < r.attachmentFiles.size(); ++i) {
    if (i > 0) row += "<br>";
    row += Link(kAttachmentsFolder, NativeFileName(r.attachmentFiles[i]), HtmlText(r.attachmentFiles[i]));
  }
  return row + "</td></tr>\n";
}

void ReportSection(const TextSink& sink, const ReportRecord& r, std::string_view text) {
  sink("<details id=\"" + SectionId(r.number) + "\"><summary>(" + std::to_string(r.number) + ") " +
       HtmlText(r.listLine) + "</summary>");
  if (r.found) {
    sink("<pre>");
    HtmlTextTo(sink, text);
    sink("</pre>");
  } else {
    sink("<p class=\"missing\">" + Own("このレコードは携帯ファイルの記録位置に見つかりませんでした。") + "</p>");
  }
  sink("</details>\n");
}

std::string ReportStart(const std::vector<EvidenceFile>& evidence, int32_t records, const std::string& madeAt,
                        const std::string& coverageHtml) {
  const std::string mobileName = evidence.empty() ? std::string() : HtmlUtf8(NativeNameToUtf8(evidence[0].name));
  std::string page = kHead;
  page += "<title>" + Own("エクスポート報告") + " " + mobileName + "</title>\n";
  page += kStyle;
  page += "</head>\n<body>\n<h1>" + Own("エクスポート報告") + ": " + mobileName + "</h1>\n";
  page += coverageHtml;
  page += "<h2>" + Own("証拠ファイル") + "</h2>\n<table>\n<tr><th></th><th>" + Own("パス") + "</th><th>" +
          Own("サイズ (バイト)") + "</th><th>SHA-256</th></tr>\n";
  for (const EvidenceFile& e : evidence) {
    page += "<tr><th>" + HtmlText(e.role) + "</th><td class=\"path\">" + HtmlUtf8(NativeNameToUtf8(e.path)) +
            "</td><td class=\"n\">" + std::to_string(e.size) + "</td><td class=\"hash\">" + e.sha256 +
            "</td></tr>\n";
  }
  page += "</table>\n<table>\n<tr><th>" + Own("レコード数") + "</th><td class=\"n\">" + std::to_string(records) +
          "</td></tr>\n<tr><th>" + Own("作成日時") + "</th><td>" + HtmlText(madeAt) + "</td></tr>\n</table>\n";
  page += "<p>" +
          Own("SHA256SUMS には証拠ファイル (絶対パス) と、このフォルダに書き出したすべてのファイル (このフォルダから"
              "の相対パス、SHA256SUMS 自身を除く) の SHA-256 を記録しました。このフォルダで "
              "sha256sum -c SHA256SUMS を実行すると検証できます。") +
          "</p>\n";
  page += "<h2>" + Own("レコード一覧") + "</h2>\n<table>\n<tr><th>" + Own("番号") + "</th><th>" + Own("オフセット") +
          "</th><th>" + Own("一覧行") + "</th><th>" + Own("本文") + "</th><th>" + Own("添付ファイル") + "</th></tr>\n";
  return page;
}

std::string ReportSectionsStart() { return "</table>\n<h2>" + Own("レコード本文") + "</h2>\n"; }

std::string ReportEnd() { return "</body>\n</html>\n"; }

}  // namespace tanavo

#include "export/export_report.h"

#include <cstdio>

#include "export/export_text.h"
#include "platform/console/utf8.h"

namespace tanavo {

namespace {

// Only inline styles may apply and nothing may run or load, even if a value
// ever got past the escaping.
constexpr const char* kHead =
    "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";

// The list line and the record text in a fixed-width Japanese face, as the
// windows show them: a list-line template is laid out in columns of
// half-width characters, which only such a face keeps in line.
constexpr const char* kStyle =
    "<style>\n"
    "body { font-family: sans-serif; margin: 1.5em; color: #222; }\n"
    "h1 { font-size: 1.5em; } h2 { font-size: 1.2em; margin-top: 1.5em; border-bottom: 1px solid #999; }\n"
    "table { border-collapse: collapse; margin-bottom: 0.8em; }\n"
    "th, td { border: 1px solid #bbb; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }\n"
    "th { background: #eee; white-space: nowrap; }\n"
    "td.n { text-align: right; } .hash, .path, .mono { font-family: monospace; }\n"
    ".hash { word-break: break-all; }\n"
    // Literals compile to Shift_JIS and the page is UTF-8: the Japanese face
    // names (ＭＳ ゴシック, IPAゴシック) go as CSS escapes.
    ".line, pre { font-family: \"MS Gothic\", \"\\00FF2D\\00FF33\\000020\\0030B4\\0030B7\\0030C3\\0030AF\", "
    "\"IPAGothic\", \"IPA\\0030B4\\0030B7\\0030C3\\0030AF\", "
    "\"Noto Sans Mono CJK JP\", \"Osaka-Mono\", monospace; }\n"
    "td.line { white-space: pre; } td.files { white-space: nowrap; }\n"
    "pre { white-space: pre-wrap; word-break: break-all; background: #f7f7f7; border: 1px solid #ddd; "
    "padding: 0.5em; }\n"
    // A section out of sight is not laid out until it is scrolled to: most
    // of a page of a thousand records is its sections.
    "details { margin: 0.3em 0; content-visibility: auto; contain-intrinsic-size: auto 1.5em; }\n"
    "summary { cursor: pointer; white-space: pre; }\n"
    "nav { margin: 0.8em 0; } nav a, nav span { margin-right: 1.2em; }\n"
    ".x { color: #a00; background: #fdd; font-family: monospace; }\n"
    ".missing, .note { color: #a00; } .nolink { color: #555; }\n"
    "</style>\n";

// A text of this file's own (compiled to Shift_JIS) as HTML in UTF-8.
std::string Own(const char* text) { return HtmlText(text); }

// A link from a page in report/ to a file written beneath folder.
std::string Link(const std::string& folder, const std::string& sub, const std::string& nativeName,
                 const std::string& shownHtml) {
  return "<a href=\"../" + folder + "/" + sub + "/" + UrlPathSegment(NativeNameToUtf8(nativeName)) + "\">" +
         shownHtml + "</a>";
}

std::string SectionId(int32_t n) { return "r" + RecordNumber6(n); }

std::string Number(const char* format, long long n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, format, n);
  return buf;
}

// Index, previous and next: on every page, above and below its records.
std::string PageLinks(int32_t page, int32_t pages) {
  std::string nav = "<nav><a href=\"../" + std::string(kReportFile) + "\">" + Own("目次") + "</a>";
  if (page > 1) nav += "<a href=\"" + PageFileName(page - 1) + "\" rel=\"prev\">" + Own("前のページ") + "</a>";
  nav += "<span>" + Own("ページ") + " " + std::to_string(page) + " / " + std::to_string(pages) + "</span>";
  if (page < pages) nav += "<a href=\"" + PageFileName(page + 1) + "\" rel=\"next\">" + Own("次のページ") + "</a>";
  return nav + "</nav>\n";
}

std::string MobileName(const std::vector<EvidenceFile>& evidence) {
  return evidence.empty() ? std::string() : HtmlUtf8(NativeNameToUtf8(evidence[0].name));
}

std::string CountRow(const char* what, const std::string& valueHtml) {
  return "<tr><th>" + Own(what) + "</th><td class=\"n\">" + valueHtml + "</td></tr>\n";
}

}  // namespace

std::string RecordFolder(int32_t n) { return Number("%04lld", n > 0 ? (n - 1) / kFilesPerFolder + 1 : 0); }
std::string RecordNumber6(int32_t n) { return Number("%06lld", n); }
std::string RecordFileName(int32_t n) { return RecordNumber6(n) + ".txt"; }
std::string PageFileName(int32_t page) { return Number("%04lld", page) + ".html"; }

std::string HexOffset(int32_t position) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(position > 0 ? position - 1 : 0));
  return buf;
}

std::string PageStart(const std::string& mobileName, int32_t page, int32_t pages, int32_t first, int32_t last) {
  const std::string name = HtmlUtf8(NativeNameToUtf8(mobileName));
  const std::string range = Own("レコード") + " " + std::to_string(first) + " - " + std::to_string(last);
  std::string html = kHead;
  html += "<title>" + Own("エクスポート報告") + " " + name + " " + range + "</title>\n";
  html += kStyle;
  html += "</head>\n<body>\n<h1>" + Own("エクスポート報告") + ": " + name + " (" + range + ")</h1>\n";
  html += PageLinks(page, pages);
  html += "<table>\n<tr><th>" + Own("番号") + "</th><th>" + Own("オフセット") + "</th><th>" + Own("一覧行") +
          "</th><th>" + Own("本文") + "</th><th>" + Own("添付ファイル") + "</th></tr>\n";
  return html;
}

std::string PageRow(const ReportRecord& r) {
  const std::string n = std::to_string(r.number);
  const std::string folder = RecordFolder(r.number);
  std::string row = "<tr><td class=\"n\"><a href=\"#" + SectionId(r.number) + "\">" + n + "</a></td><td class=\"mono\">" +
                    HexOffset(r.position) + "</td><td class=\"line\">" + HtmlText(r.listLine, r.carrier) + "</td><td>";
  row += r.found ? Link(kRecordsFolder, folder, r.textFile, HtmlUtf8(NativeNameToUtf8(r.textFile)))
                 : "<span class=\"missing\">" + Own("見つかりません") + "</span>";
  row += "</td><td class=\"files\">";
  for (std::size_t i = 0; i < r.attachmentFiles.size(); ++i) {
    if (i > 0) row += "<br>";
    const bool linked = i < r.attachmentLinked.size() && r.attachmentLinked[i];
    row += linked ? Link(kAttachmentsFolder, folder, NativeFileName(r.attachmentFiles[i]), HtmlText(r.attachmentFiles[i]))
                  : "<span class=\"nolink\">" + HtmlText(r.attachmentFiles[i]) + "</span>";
  }
  return row + "</td></tr>\n";
}

std::string PageSectionsStart() { return "</table>\n<h2>" + Own("レコード本文") + "</h2>\n"; }

void PageSection(const TextSink& sink, const ReportRecord& r, std::string_view text) {
  sink("<details id=\"" + SectionId(r.number) + "\"><summary class=\"line\">(" + std::to_string(r.number) + ") " +
       HtmlText(r.listLine, r.carrier) + "</summary>");
  if (r.found) {
    sink("<pre>");
    HtmlTextTo(sink, text, r.carrier);
    sink("</pre>");
  } else {
    sink("<p class=\"missing\">" + Own("このレコードは携帯ファイルの記録位置に見つかりませんでした。") + "</p>");
  }
  sink("</details>\n");
}

std::string PageEnd(int32_t page, int32_t pages) { return PageLinks(page, pages) + "</body>\n</html>\n"; }

std::string ReportIndexPage(const ReportSummary& s) {
  const std::string mobileName = MobileName(s.evidence);
  std::string page = kHead;
  page += "<title>" + Own("エクスポート報告") + " " + mobileName + "</title>\n";
  page += kStyle;
  page += "</head>\n<body>\n<h1>" + Own("エクスポート報告") + ": " + mobileName + "</h1>\n";
  for (const std::string& section : s.sections) page += section;

  page += "<h2>" + Own("証拠ファイル") + "</h2>\n<table>\n<tr><th></th><th>" + Own("パス") + "</th><th>" +
          Own("サイズ (バイト)") + "</th><th>SHA-256</th></tr>\n";
  for (const EvidenceFile& e : s.evidence) {
    page += "<tr><th>" + HtmlText(e.role) + "</th><td class=\"path\">" + HtmlUtf8(NativeNameToUtf8(e.path)) +
            "</td><td class=\"n\">" + std::to_string(e.size) + "</td><td class=\"hash\">" + e.sha256 +
            "</td></tr>\n";
  }
  page += "</table>\n";

  page += "<h2>" + Own("件数") + "</h2>\n<table>\n";
  page += CountRow("インデックスのレコード数", std::to_string(s.indexRecords));
  page += CountRow("書き出したレコード", s.chosenBy.empty() ? Own("全件") + " " + std::to_string(s.chosen)
                                                            : (s.choice.empty() ? Own("なし") : HtmlUtf8(s.choice)) + " (" + std::to_string(s.chosen) +
                                                                  Own("件") + ")");
  page += CountRow("見つからないレコード", std::to_string(s.missing));
  page += CountRow("添付ファイル", std::to_string(s.attachments));
  page += "<tr><th>" + Own("作成日時") + "</th><td>" + HtmlText(s.madeAt) + "</td></tr>\n</table>\n";
  if (!s.chosenBy.empty()) {
    page += "<p class=\"note\">" + Own("これはインデックスの一部です: インデックスの") + std::to_string(s.indexRecords) +
            Own("件のうち、選んだ") + std::to_string(s.chosen) + Own("件だけを書き出しました (") +
            HtmlUtf8(s.chosenBy) + ")</p>\n";
  }
  if (s.tableRows > kSpreadsheetRows) {
    page += "<p class=\"note\">" + Own("records.tsv は見出しを含めて") + std::to_string(s.tableRows) +
            Own("行あり、表計算ソフトの1シートに入る") + std::to_string(kSpreadsheetRows) +
            Own("行を超えています。超えた行は読み込まれないことがあります。") + "</p>\n";
  }

  page += "<h2>" + Own("書き出したファイル") + "</h2>\n<p>" +
          Own("レコードの本文は records/0001/000001.txt のように、添付ファイルは attachments/0001/000001-1-名前 "
              "のように、レコード番号の1000件ごとのフォルダに書き出しました (0001 はレコード1から1000、0002 は1001から"
              "2000)。records.tsv はすべてのレコードの一覧表 (UTF-8、タブ区切り) です。") +
          "</p>\n<p>" +
          Own("SHA256SUMS には証拠ファイル (絶対パス) と、このフォルダに書き出したすべてのファイル (このフォルダから"
              "の相対パス、SHA256SUMS 自身を除く) の SHA-256 を記録しました。このフォルダで "
              "sha256sum -c SHA256SUMS を実行すると検証できます。") +
          "</p>\n<p>" +
          Own("添付ファイルのうちリンクのあるものは、データ表示でも開く種類 (写真、PDF、テキスト等) だけです。"
              "それ以外 (HTML、SVG、プログラム等) はブラウザーで開くとスクリプトが動き得るため、名前だけを示し"
              "ます。どちらも attachments フォルダにそのまま書き出してあります。") +
          "</p>\n";

  page += "<h2>" + Own("レコード一覧") + "</h2>\n";
  if (s.pages.empty()) {
    page += "<p>" + Own("書き出したレコードはありません。") + "</p>\n";
  } else {
    page += "<p>" + std::to_string(s.pages.size()) + Own("ページ、1ページ") + std::to_string(kRecordsPerPage) +
            Own("件まで") + "</p>\n<table>\n<tr><th>" + Own("ページ") + "</th><th>" + Own("レコード") + "</th><th>" +
            Own("件数") + "</th></tr>\n";
    for (std::size_t i = 0; i < s.pages.size(); ++i) {
      const ReportPage& p = s.pages[i];
      const std::string file = PageFileName(static_cast<int32_t>(i + 1));
      page += "<tr><td><a href=\"" + std::string(kPagesFolder) + "/" + file + "\">" + file + "</a></td><td>" +
              std::to_string(p.first) + " - " + std::to_string(p.last) + "</td><td class=\"n\">" +
              std::to_string(p.records) + "</td></tr>\n";
    }
    page += "</table>\n";
  }
  return page + "</body>\n</html>\n";
}

}  // namespace tanavo

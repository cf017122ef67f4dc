#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/path.h"
#include "cli/cli.h"
#include "cli/export.h"
#include "cli/export_report.h"
#include "cli/export_text.h"
#include "cli/progress.h"
#include "display/attachment.h"
#include "display/render.h"
#include "platform/digest.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/new_files.h"

namespace tanavo {

namespace {

static_assert(kIndexSlots <= 9999, "record file names have four digits");

constexpr const char* kExportCaption = "エクスポート";
constexpr const char* kTableFile = "records.tsv";
constexpr const char* kReportFile = "report.html";
constexpr const char* kSumsFile = "SHA256SUMS";
constexpr const char* kJoinValues = " | ";
constexpr const char* kRowEnd = "\r\n";

using Clock = std::chrono::steady_clock;

// Adds the time since it was made to one of the export's times.
class Timed {
 public:
  explicit Timed(double* into) : into_(into), start_(Clock::now()) {}
  ~Timed() { *into_ += std::chrono::duration<double>(Clock::now() - start_).count(); }
  Timed(const Timed&) = delete;
  Timed& operator=(const Timed&) = delete;

 private:
  double* into_;
  Clock::time_point start_;
};

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  const std::tm* t = std::gmtime(&now);
  char buf[32] = {};
  if (!t || std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S UTC", t) == 0) return std::string();
  return buf;
}

std::string SecondsText(double s) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", s);
  return std::string(buf) + "秒";
}

std::string Joined(const std::vector<std::string>& parts, std::string (*each)(std::string_view)) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += kJoinValues;
    out += each(parts[i]);
  }
  return out;
}

// The files of one export: written into the output folder, each hashed.
class ExportWriter {
 public:
  ExportWriter(Platform& p, std::string folder, ExportTimes& times)
      : p_(p), folder_(std::move(folder)), times_(times) {}

  // Writes bytes to the native name under the folder ("" for the folder
  // itself) and records its checksum line; false after the failure box.
  bool Write(const char* subfolder, const std::string& nativeName, const std::string& bytes, double* timeInto) {
    const std::string relative = *subfolder ? std::string(subfolder) + "/" + nativeName : nativeName;
    const std::string path =
        *subfolder ? folder_ + p_.PathSeparator() + subfolder + p_.PathSeparator() + nativeName
                   : folder_ + p_.PathSeparator() + nativeName;
    {
      Timed t(timeInto);
      if (!WriteOne(path, bytes)) return false;
    }
    Sha256Digest d;
    {
      Timed t(&times_.hashing);
      if (!Sha256OfBytes(bytes, &d)) return HashFailed();
    }
    sums_ += Sha256SumsLine(HexDigest(d), relative);
    return true;
  }

  // An evidence file, hashed where it is, read in pieces.
  bool Hash(EvidenceFile& e) {
    Timed t(&times_.hashing);
    Sha256Digest d;
    if (!Sha256OfFile(e.path, &d, &e.size)) {
      p_.MessageBox(BoxOwner::Main, "ファイルオープンに失敗\r\n" + e.path, kExportCaption, BoxIcon::Warning);
      return false;
    }
    e.sha256 = HexDigest(d);
    sums_ += Sha256SumsLine(e.sha256, e.path);
    return true;
  }

  bool MakeFolder(const char* subfolder) {
    const std::string path = *subfolder ? folder_ + p_.PathSeparator() + subfolder : folder_;
    if (p_.CreateFolder(path)) return true;
    p_.MessageBox(BoxOwner::Main, "フォルダを作成できません!!\r\n" + path, kExportCaption, BoxIcon::Warning);
    return false;
  }

  // SHA256SUMS itself, last: every file but itself is in it. Then all that
  // was written is made durable at once.
  bool WriteSumsAndSync() {
    Timed t(&times_.writing);
    if (!WriteOne(folder_ + p_.PathSeparator() + kSumsFile, sums_)) return false;
    if (SyncNewFiles(written_)) return true;
    p_.MessageBox(BoxOwner::Main, "書き出したファイルをディスクに保存できませんでした!!", kExportCaption,
                  BoxIcon::Warning);
    return false;
  }

 private:
  // A file of its own in the fresh folder: nothing there is replaced.
  bool WriteOne(const std::string& path, const std::string& bytes) {
    if (WriteNewFile(path, bytes) != WriteStatus::Ok) {
      p_.MessageBox(BoxOwner::Main, "ファイルオープンに失敗\r\n" + path, kExportCaption, BoxIcon::Warning);
      return false;
    }
    written_.push_back(path);
    ++times_.files;
    return true;
  }

  bool HashFailed() {
    p_.MessageBox(BoxOwner::Main, "SHA-256 を計算できません!!", kExportCaption, BoxIcon::Warning);
    return false;
  }

  Platform& p_;
  std::string folder_;
  ExportTimes& times_;
  std::string sums_;
  std::vector<std::string> written_;
};

// The Data entries of the extraction settings, in table order: one TSV
// column each.
std::vector<int> DataColumns(const ExtractionSettings& s) {
  std::vector<int> columns;
  for (int i = 0; i < UsedCount(s); ++i) {
    if (s.entries[static_cast<std::size_t>(i)].kind == kKindData) columns.push_back(i);
  }
  return columns;
}

std::string TableHeader(const ExtractionSettings& s, const std::vector<int>& columns) {
  std::string h = TsvField("番号") + "\t" + TsvField("位置") + "\t" + TsvField("オフセット") + "\t" + TsvField("一覧行");
  for (int c : columns) h += "\t" + TsvCell(TsvField(s.entries[static_cast<std::size_t>(c)].name));
  return h + "\t" + TsvField("添付ファイル") + kRowEnd;
}

std::string TableRow(const ReportRecord& r, const RenderedRecord& rendered, const std::vector<int>& columns) {
  std::string row = std::to_string(r.number) + "\t" + std::to_string(r.position) + "\t" + HexOffset(r.position) +
                    "\t" + TsvCell(TsvField(r.listLine));
  for (int c : columns) {
    row += "\t";
    const std::size_t entry = static_cast<std::size_t>(c);
    if (r.found && entry < rendered.values.size()) row += TsvCell(Joined(rendered.values[entry], TsvField));
  }
  return row + "\t" + TsvCell(Joined(r.attachmentFiles, TsvField)) + kRowEnd;
}

// The attachments of the record just rendered, every multipart item's,
// decoded as opening them does, each as NNNN-K-NAME.
bool WriteAttachments(const RenderedRecord& rendered, int32_t n, ExportWriter& out, ExportTimes& times,
                      ReportRecord* record) {
  int k = 0;
  for (const ItemAttachment& a : rendered.attachmentFiles) {
    ++k;
    std::vector<std::string> taken;  // the number in the name keeps two names apart
    std::string bytes;
    std::string name;
    {
      Timed t(&times.attachments);
      bytes = DecodeAttachment(a.content);
      name = RecordNumber4(n) + "-" + std::to_string(k) + "-" + SafeAttachmentName(a.name, k, &taken);
    }
    if (!out.Write(kAttachmentsFolder, NativeFileName(name), bytes, &times.attachments)) return false;
    record->attachmentFiles.push_back(name);
    ++times.attachmentFiles;
  }
  return true;
}

int Export(CliContext& ctx, const std::string& indexPath, const std::string& outDir, CliProgress& progress,
           ExportTimes& times) {
  Platform& p = *ctx.platform;
  const FolderState state = InspectFolder(outDir);
  if (state == FolderState::NotEmpty || state == FolderState::NotAFolder) {
    ShowWarning(p, "出力フォルダ " + outDir +
                       (state == FolderState::NotEmpty ? " は空ではありません!!" : " はフォルダではありません!!"));
    return kExitFailed;
  }
  App app(p);
  app.Start();
  if (LoadIndexForCli(ctx, app, indexPath) != 0) return kExitFailed;
  const std::string madeAt = UtcNow();

  ExportWriter out(p, outDir, times);
  const char sep = p.PathSeparator();
  std::vector<EvidenceFile> evidence = {
      {"携帯ファイル", ShownFileName(app.state.mobileFilePath), OpenablePath(app.state.mobileFilePath, sep), 0, ""},
      {"抽出設定ファイル", ShownFileName(app.state.extractionFilePath), OpenablePath(app.state.extractionFilePath, sep), 0,
       ""},
      {"表示設定ファイル", ShownFileName(app.state.displayFilePath), OpenablePath(app.state.displayFilePath, sep), 0, ""},
      {"インデックスファイル", ShownFileName(SplitPath(indexPath, sep)), indexPath, 0, ""},
  };
  for (EvidenceFile& e : evidence) {
    if (!out.Hash(e)) return kExitFailed;
  }
  // The checksum must be that of the bytes examined.
  if (evidence[0].size != app.state.mobileFile.size()) {
    ShowWarning(p, "携帯ファイルが読み込み後に変更されています!!");
    return kExitFailed;
  }
  if (!out.MakeFolder("") || !out.MakeFolder(kRecordsFolder) || !out.MakeFolder(kAttachmentsFolder)) {
    return kExitFailed;
  }

  const int32_t count = app.index.count;
  times.records = count;
  progress.Line("エクスポート: " + std::to_string(count) + "件のレコードを書き出します");
  const std::vector<int> columns = DataColumns(app.extraction);
  std::string table = TableHeader(app.extraction, columns);
  ReportHtml report;
  for (int32_t n = 1; n <= count; ++n) {
    const std::size_t slot = static_cast<std::size_t>(n);
    ReportRecord record;
    record.number = n;
    record.position = app.index.positions[slot];
    record.listLine = app.index.lines[slot];
    RenderedRecord rendered;
    rendered.collectValues = true;
    {
      Timed t(&times.rendering);
      record.found = RenderRecord(app, n, &rendered) == 0;
    }
    if (record.found) {
      record.textFile = RecordNumber4(n) + ".txt";
      if (!out.Write(kRecordsFolder, record.textFile, rendered.text, &times.writing)) return kExitFailed;
      if (!WriteAttachments(rendered, n, out, times, &record)) return kExitFailed;
      if (rendered.attachmentsNotKept > 0) {
        ShowWarning(p, NotWrittenAttachments(n, rendered.attachmentsNotKept));
        times.attachmentsNotWritten += rendered.attachmentsNotKept;
      }
    } else {
      ++times.missingRecords;
    }
    {
      Timed t(&times.tables);
      table += TableRow(record, rendered, columns);
      report.AddRecord(record, rendered.text);
    }
    progress.Count(n, "エクスポート: " + std::to_string(n) + "/" + std::to_string(count) + "件目");
  }
  std::string page;
  {
    Timed t(&times.tables);
    page = report.Page(evidence, count, madeAt);
  }
  if (!out.Write("", kTableFile, table, &times.writing) || !out.Write("", kReportFile, page, &times.writing) ||
      !out.WriteSumsAndSync()) {
    return kExitFailed;
  }
  if (times.missingRecords > 0) {
    ShowWarning(p, std::to_string(times.missingRecords) + "件のレコードが携帯ファイルの記録位置に見つかりませんでした!!");
  }
  return times.missingRecords > 0 || times.attachmentsNotWritten > 0 ? kExitFailed : kExitOk;
}

}  // namespace

int ExportIndex(CliContext& ctx, const std::string& indexPath, const std::string& outDir, ExportTimes* times) {
  ExportTimes local;
  ExportTimes& t = times ? *times : local;
  t = ExportTimes();
  const Clock::time_point start = Clock::now();
  CliProgress progress(ctx);
  const int code = Export(ctx, indexPath, outDir, progress, t);
  t.total = std::chrono::duration<double>(Clock::now() - start).count();
  if (t.files > 0) {
    progress.Line("エクスポート終了: " + std::to_string(t.records) + "件 (見つからないもの " +
                          std::to_string(t.missingRecords) + "件)、添付ファイル " + std::to_string(t.attachmentFiles) +
                          "個、ファイル " + std::to_string(t.files) + "個、" + SecondsText(t.total) + " (表示 " +
                          SecondsText(t.rendering) + "、添付 " + SecondsText(t.attachments) + "、ハッシュ " +
                          SecondsText(t.hashing) + "、表と報告 " + SecondsText(t.tables) + "、書込み " +
                          SecondsText(t.writing) + ")");
  }
  return code;
}

// export INDEX OUTDIR
int RunExportCommand(CliContext& ctx) {
  if (ctx.args.size() != 2) return kExitUsage;
  return ExportIndex(ctx, MakeAbsolute(ctx.args[0]), MakeAbsolute(ctx.args[1]));
}

}  // namespace tanavo

#include <chrono>
#include <cstdint>
#include <memory>
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "state/workspace.h"
#include "text/path.h"
#include "cli/cli.h"
#include "cli/export.h"
#include "cli/export_coverage.h"
#include "cli/export_report.h"
#include "cli/export_text.h"
#include "cli/progress.h"
#include "display/attachment.h"
#include "display/render.h"
#include "index/coverage.h"
#include "platform/digest.h"
#include "platform/files.h"
#include "platform/new_files.h"

namespace tanavo {

namespace {

constexpr const char* kExportCaption = "エクスポート";
constexpr const char* kTableFile = "records.tsv";
constexpr const char* kReportFile = "report.html";
constexpr const char* kSumsFile = "SHA256SUMS";
constexpr std::string_view kJoinValues = " | ";
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

// The console platform that also keeps, for each file read, where it was
// read (made absolute, as opened) and the SHA-256 of the bytes read: the
// evidence is hashed as it was examined, never opened again.
class RecordingPlatform : public ConsolePlatform {
 public:
  struct Read {
    std::string path;          // as the reader asked for it
    std::string absolutePath;  // as it was opened
    std::uint64_t size = 0;
    std::string sha256;  // empty when it could not be hashed
  };
  // Boxes go to err; files are read by reader, the platform the command
  // was given.
  RecordingPlatform(std::string* err, ConsolePlatform& reader) : ConsolePlatform(err), reader_(reader) {}

  ReadStatus ReadWholeFile(const std::string& path, std::string* bytes) override {
    const ReadStatus rs = reader_.ReadWholeFile(path, bytes);
    if (rs == ReadStatus::Ok) {
      Sha256Digest d;
      reads.push_back({path, MakeAbsolute(path), bytes->size(), Sha256OfBytes(*bytes, &d) ? HexDigest(d) : ""});
    }
    return rs;
  }

  std::vector<Read> reads;  // in the order the files were read

 private:
  ConsolePlatform& reader_;
};

// A file written in pieces and hashed as it goes.
class HashedFile {
 public:
  explicit HashedFile(std::unique_ptr<NewFile> file) : file_(std::move(file)) {}
  bool Append(std::string_view bytes) {
    if (!file_ || !file_->Append(bytes) || !hash_.Add(bytes)) ok_ = false;
    return ok_;
  }
  // Closes the file; its checksum in hex, or empty on any failure.
  std::string Finish() {
    Sha256Digest d;
    if (!file_ || !ok_ || !file_->Finish() || !hash_.Finish(&d)) return std::string();
    return HexDigest(d);
  }

 private:
  std::unique_ptr<NewFile> file_;
  Sha256Stream hash_;
  bool ok_ = true;
};

// The files of one export: created beneath the output folder held open,
// each hashed.
class ExportWriter {
 public:
  ExportWriter(Platform& p, OutputFolder& root, ExportTimes& times) : p_(p), root_(root), times_(times) {}

  bool MakeFolders() {
    records_ = root_.MakeFolder(kRecordsFolder);
    if (records_) attachments_ = root_.MakeFolder(kAttachmentsFolder);
    if (records_ && attachments_) return true;
    p_.MessageBox(BoxOwner::Main,
                  "フォルダを作成できません!!\r\n" + root_.Path() + p_.PathSeparator() +
                      (records_ ? kAttachmentsFolder : kRecordsFolder),
                  kExportCaption, BoxIcon::Warning);
    return false;
  }

  // A whole file into records/ or attachments/ under its native name, with
  // its checksum line; false after the failure box.
  bool Write(bool attachment, const std::string& nativeName, const std::string& bytes, double* timeInto) {
    OutputFolder& folder = attachment ? *attachments_ : *records_;
    const char* sub = attachment ? kAttachmentsFolder : kRecordsFolder;
    {
      Timed t(timeInto);
      if (!WriteNewFileIn(folder, nativeName, bytes)) return Failed(folder.Path() + p_.PathSeparator() + nativeName);
    }
    Sha256Digest d;
    {
      Timed t(&times_.hashing);
      if (!Sha256OfBytes(bytes, &d)) return HashFailed();
    }
    sums_ += Sha256SumsLine(HexDigest(d), std::string(sub) + "/" + nativeName);
    ++times_.files;
    return true;
  }

  // A file of the folder itself, written in pieces; null after the box.
  std::unique_ptr<HashedFile> Start(const char* name) {
    std::unique_ptr<NewFile> f = root_.Create(name);
    if (!f) {
      Failed(root_.Path() + p_.PathSeparator() + name);
      return nullptr;
    }
    return std::make_unique<HashedFile>(std::move(f));
  }

  bool Finish(HashedFile& f, const char* name) {
    const std::string hex = f.Finish();
    if (hex.empty()) return Failed(root_.Path() + p_.PathSeparator() + name);
    sums_ += Sha256SumsLine(hex, name);
    ++times_.files;
    return true;
  }

  std::unique_ptr<ScratchFile> Scratch() {
    std::unique_ptr<ScratchFile> s = root_.CreateScratch();
    if (!s) Failed(root_.Path());
    return s;
  }

  void AddEvidence(const EvidenceFile& e) { sums_ += Sha256SumsLine(e.sha256, e.path); }

  // SHA256SUMS itself, last: every file but itself is in it. Then all that
  // was written is made durable at once.
  bool WriteSumsAndSync() {
    Timed t(&times_.writing);
    if (!WriteNewFileIn(root_, kSumsFile, sums_)) return Failed(root_.Path() + p_.PathSeparator() + kSumsFile);
    ++times_.files;
    if (root_.Sync()) return true;
    p_.MessageBox(BoxOwner::Main, "書き出したファイルをディスクに保存できませんでした!!", kExportCaption,
                  BoxIcon::Warning);
    return false;
  }

 private:
  bool Failed(const std::string& path) {
    p_.MessageBox(BoxOwner::Main, "ファイルオープンに失敗\r\n" + path, kExportCaption, BoxIcon::Warning);
    return false;
  }

  bool HashFailed() {
    p_.MessageBox(BoxOwner::Main, "SHA-256 を計算できません!!", kExportCaption, BoxIcon::Warning);
    return false;
  }

  Platform& p_;
  OutputFolder& root_;
  std::unique_ptr<OutputFolder> records_;
  std::unique_ptr<OutputFolder> attachments_;
  ExportTimes& times_;
  std::string sums_;
};

// The Data entries of the extraction settings, in table order: one TSV
// column each.
std::vector<int> DataColumns(const ExtractionSettings& s) {
  std::vector<int> columns;
  for (int i = 0; i < UsedCount(s); ++i) {
    if (s.entries[static_cast<std::size_t>(i)].kind == EntryKind::Data) columns.push_back(i);
  }
  return columns;
}

std::string TableHeader(const ExtractionSettings& s, const std::vector<int>& columns) {
  std::string h = TsvField("番号") + "\t" + TsvField("位置") + "\t" + TsvField("オフセット") + "\t" + TsvField("一覧行");
  for (int c : columns) h += "\t" + TsvCell(TsvField(s.entries[static_cast<std::size_t>(c)].name));
  return h + "\t" + TsvField("添付ファイル") + kRowEnd;
}

// A row of records.tsv written cell by cell, each value escaped in pieces: a
// value may be as large as its record.
class TableRowWriter {
 public:
  explicit TableRowWriter(HashedFile& out) : out_(out) {}
  void Plain(const std::string& cell) {
    Cell();
    out_.Append(cell);
  }
  // A cell of values (Shift_JIS) joined by " | ".
  void Values(const std::vector<std::string>& values) {
    Cell();
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i > 0) Piece(kJoinValues);
      TsvFieldTo(sink_, values[i]);
    }
  }
  void End() { out_.Append(kRowEnd); }

 private:
  void Cell() {
    if (cells_++ > 0) out_.Append("\t");
    started_ = false;
  }
  void Piece(std::string_view utf8) {
    if (utf8.empty()) return;
    if (!started_ && TsvCellNeedsApostrophe(utf8[0])) out_.Append("'");
    started_ = true;
    out_.Append(utf8);
  }

  HashedFile& out_;
  TextSink sink_ = [this](std::string_view piece) { Piece(piece); };
  int cells_ = 0;
  bool started_ = false;  // the cell's first byte is written
};

void WriteTableRow(HashedFile& out, const ReportRecord& r, const RenderedRecord& rendered,
                   const std::vector<int>& columns) {
  TableRowWriter row(out);
  row.Plain(std::to_string(r.number));
  row.Plain(std::to_string(r.position));
  row.Plain(HexOffset(r.position));
  row.Values({r.listLine});
  static const std::vector<std::string> kNone;
  for (int c : columns) {
    const std::size_t entry = static_cast<std::size_t>(c);
    row.Values(r.found && entry < rendered.values.size() ? rendered.values[entry] : kNone);
  }
  row.Values(r.attachmentFiles);
  row.End();
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
    if (!out.Write(true, NativeFileName(name), bytes, &times.attachments)) return false;
    record->attachmentFiles.push_back(name);
    ++times.attachmentFiles;
  }
  return true;
}

// The read of path that comes first from *next on in the log; null when
// there is none.
const RecordingPlatform::Read* NextRead(const std::vector<RecordingPlatform::Read>& reads, std::size_t* next,
                                        const std::string& path) {
  for (std::size_t i = *next; i < reads.size(); ++i) {
    if (reads[i].path == path) {
      *next = i + 1;
      return &reads[i];
    }
  }
  return nullptr;
}

// The evidence as it was loaded: the mobile file hashed from the bytes held,
// the settings and the index from the bytes read, in the order the loading
// read them; false when one is missing from the log.
bool EvidenceAsLoaded(const Workspace& ws, const RecordingPlatform& recording, const std::string& indexPath,
                      std::vector<EvidenceFile>* evidence) {
  const char sep = recording.PathSeparator();
  const PathParts* parts[] = {nullptr, &ws.state.mobileFilePath, &ws.state.extractionFilePath,
                              &ws.state.displayFilePath};
  const char* roles[] = {"インデックスファイル", "携帯ファイル", "抽出設定ファイル", "表示設定ファイル"};
  std::vector<EvidenceFile> loaded;
  std::size_t next = 0;
  for (int i = 0; i < 4; ++i) {
    const std::string path = parts[i] ? OpenablePath(*parts[i], sep) : MakeAbsolute(indexPath);
    const RecordingPlatform::Read* r = NextRead(recording.reads, &next, path);
    if (!r || r->sha256.empty()) return false;
    EvidenceFile e;
    e.role = roles[i];
    e.name = parts[i] ? ShownFileName(*parts[i]) : ShownFileName(SplitPath(indexPath, sep));
    e.path = r->absolutePath;
    e.size = r->size;
    e.sha256 = r->sha256;
    loaded.push_back(std::move(e));
  }
  // The mobile file: the very bytes the records are rendered from.
  Sha256Digest d;
  if (!Sha256OfBytes(ws.state.mobileFile, &d)) return false;
  loaded[1].size = ws.state.mobileFile.size();
  loaded[1].sha256 = HexDigest(d);
  // Listed as the report has always listed them: the mobile file first.
  *evidence = {loaded[1], loaded[2], loaded[3], loaded[0]};
  return true;
}

bool OpenOutputFolder(Platform& p, const std::string& outDir, std::unique_ptr<OutputFolder>* root) {
  switch (OutputFolder::Open(outDir, true, root)) {
    case FolderOpen::Ok: return true;
    case FolderOpen::NotEmpty: ShowWarning(p, "出力フォルダ " + outDir + " は空ではありません!!"); return false;
    case FolderOpen::NotAFolder: ShowWarning(p, "出力フォルダ " + outDir + " はフォルダではありません!!"); return false;
    case FolderOpen::CannotCreate: break;
  }
  p.MessageBox(BoxOwner::Main, "フォルダを作成できません!!\r\n" + outDir, kExportCaption, BoxIcon::Warning);
  return false;
}

// What the index leaves out of the mobile file, in a line: records past its
// last one, and a record cut at the end of the file.
std::string LeftOutText(const Coverage& c) {
  std::string t;
  if (c.recordsLeftOut > 0) {
    t += "インデックスに登録されていないレコードが" + std::to_string(c.recordsLeftOut) + "件あります (全" +
         std::to_string(c.recordsFound) + "件中)";
  }
  if (c.cutTail) t += std::string(t.empty() ? "" : "。") + "携帯ファイルの最後のレコードが途中で切れています";
  return t;
}

int Export(CliContext& ctx, RecordingPlatform& p, const std::string& indexPath, const std::string& outDir,
           CliProgress& progress, ExportTimes& times, bool partial) {
  Workspace ws(p);
  if (LoadIndexForCli(ctx, ws, indexPath) != 0) return kExitFailed;
  // What the export covers is known before anything is written: an export
  // that would leave records out says so and writes nothing, unless asked
  // for a partial one.
  const Coverage coverage = ComputeCoverage(ws.state.mobileFile, ws.extraction, ws.index);
  WriteCoverageFindings(ctx, coverage);
  if (CoverageLeavesRecordsOut(coverage) && !partial) {
    ShowWarning(p, LeftOutText(coverage) + "。すべてを書き出すにはインデックスを作り直してください "
                                           "(--max-records all)。この分を除いて書き出すには --partial を付けてください!!");
    return kExitFailed;
  }
  const std::string madeAt = UtcNow();
  std::vector<EvidenceFile> evidence;
  {
    Timed t(&times.hashing);
    if (!EvidenceAsLoaded(ws, p, indexPath, &evidence)) {
      static_cast<Platform&>(p).MessageBox(BoxOwner::Main, "SHA-256 を計算できません!!", kExportCaption,
                                           BoxIcon::Warning);
      return kExitFailed;
    }
  }

  // Made or opened once, and everything beneath it created through it.
  std::unique_ptr<OutputFolder> root;
  if (!OpenOutputFolder(p, outDir, &root)) return kExitFailed;
  ExportWriter out(p, *root, times);
  for (const EvidenceFile& e : evidence) out.AddEvidence(e);
  if (!out.MakeFolders()) return kExitFailed;

  const int32_t count = ws.index.count;
  times.records = count;
  progress.Line("エクスポート: " + std::to_string(count) + "件のレコードを書き出します");
  const std::vector<int> columns = DataColumns(ws.extraction);
  // The table and the report are written as the records are: the report's
  // record sections go to a scratch file until the table of rows before them
  // is complete.
  std::unique_ptr<HashedFile> table = out.Start(kTableFile);
  if (!table) return kExitFailed;
  std::unique_ptr<HashedFile> report = out.Start(kReportFile);
  if (!report) return kExitFailed;
  std::unique_ptr<ScratchFile> sections = out.Scratch();
  if (!sections) return kExitFailed;
  bool sectionsOk = true;
  const TextSink toSections = [&](std::string_view piece) {
    if (!sections->Append(piece)) sectionsOk = false;
  };
  {
    Timed t(&times.tables);
    table->Append(TableHeader(ws.extraction, columns));
    report->Append(ReportStart(evidence, count, madeAt, ReportCoverage(coverage, count)));
  }
  for (int32_t n = 1; n <= count; ++n) {
    const std::size_t slot = static_cast<std::size_t>(n);
    ReportRecord record;
    record.number = n;
    record.position = ws.index.positions[slot];
    record.listLine = ws.index.lines[slot];
    RenderedRecord rendered;
    {
      Timed t(&times.rendering);
      rendered = RenderRecord(ws, n, nullptr, RenderValues::Collect);
      record.found = rendered.status == RenderStatus::Rendered;
    }
    if (record.found) {
      record.textFile = RecordNumber4(n) + ".txt";
      if (!out.Write(false, record.textFile, rendered.text, &times.writing)) return kExitFailed;
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
      WriteTableRow(*table, record, rendered, columns);
      report->Append(ReportRow(record));
      ReportSection(toSections, record, rendered.text);
    }
    progress.Count(n, "エクスポート: " + std::to_string(n) + "/" + std::to_string(count) + "件目");
  }
  {
    Timed t(&times.writing);
    report->Append(ReportSectionsStart());
    if (!sectionsOk || !sections->ReadBack([&](std::string_view piece) { return report->Append(piece); })) {
      sectionsOk = false;
    }
    sections.reset();
    report->Append(ReportEnd());
  }
  if (!out.Finish(*table, kTableFile) || !sectionsOk || !out.Finish(*report, kReportFile) ||
      !out.WriteSumsAndSync()) {
    return kExitFailed;
  }
  if (times.missingRecords > 0) {
    ShowWarning(p, std::to_string(times.missingRecords) + "件のレコードが携帯ファイルの記録位置に見つかりませんでした!!");
  }
  return times.missingRecords > 0 || times.attachmentsNotWritten > 0 ? kExitFailed : kExitOk;
}

}  // namespace

int ExportIndex(CliContext& ctx, const std::string& indexPath, const std::string& outDir, ExportTimes* times,
                bool partial) {
  ExportTimes local;
  ExportTimes& t = times ? *times : local;
  t = ExportTimes();
  const Clock::time_point start = Clock::now();
  CliProgress progress(ctx);
  // Every file the loading reads is read through this platform, which keeps
  // what it read.
  ConsolePlatform* const console = ctx.platform;
  RecordingPlatform recording(&ctx.err, *console);
  ctx.platform = &recording;
  const int code = Export(ctx, recording, indexPath, outDir, progress, t, partial);
  ctx.platform = console;
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

// export [--partial] INDEX OUTDIR
int RunExportCommand(CliContext& ctx) {
  bool partial = false;
  std::vector<std::string> paths;
  for (const std::string& a : ctx.args) {
    if (a == "--partial") {
      partial = true;
    } else {
      paths.push_back(a);
    }
  }
  if (paths.size() != 2) return kExitUsage;
  return ExportIndex(ctx, MakeAbsolute(paths[0]), MakeAbsolute(paths[1]), nullptr, partial);
}

}  // namespace tanavo

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "export/export.h"
#include "display/attachment.h"
#include "display/attachment_opening.h"
#include "display/render.h"
#include "engine/file_window.h"
#include "engine/walk.h"
#include "export/export_case.h"
#include "export/export_coverage.h"
#include "export/export_report.h"
#include "export/export_text.h"
#include "index/coverage.h"
#include "index/index_file.h"
#include "index/index_stream.h"
#include "platform/console/utf8.h"
#include "platform/digest.h"
#include "platform/file_system.h"
#include "platform/new_files.h"
#include "state/workspace.h"
#include "text/path.h"

namespace tanavo {

namespace {

constexpr const char* kExportCaption = "エクスポート";
constexpr const char* kTableFile = "records.tsv";
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

// The file system that also keeps, for each file read, where it was read
// (made absolute, as opened) and the SHA-256 of the bytes read: the evidence
// is hashed as it was examined, never opened again.
class RecordingFileSystem : public ForwardingFileSystem {
 public:
  struct Read {
    std::string path;          // as the reader asked for it
    std::string absolutePath;  // as it was opened
    std::uint64_t size = 0;
    std::string sha256;  // empty when it could not be hashed
  };
  using ForwardingFileSystem::ForwardingFileSystem;

  ReadStatus ReadWholeFile(const std::string& path, std::string* bytes) override {
    const ReadStatus rs = Target().ReadWholeFile(path, bytes);
    if (rs == ReadStatus::Ok) {
      Sha256Digest d;
      reads.push_back({path, AbsolutePath(path), bytes->size(), Sha256OfBytes(*bytes, &d) ? HexDigest(d) : ""});
    }
    return rs;
  }

  std::vector<Read> reads;  // in the order the files were read
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
// each hashed, its line written into SHA256SUMS as soon as it is whole (the
// checksums are never all held at once).
class ExportWriter {
 public:
  ExportWriter(Platform& p, char separator, OutputFolder& root, ExportTimes& times)
      : p_(p), sep_(separator), root_(root), times_(times) {}

  // The folders, and SHA256SUMS opened to take its lines as files are done.
  bool MakeFolders() {
    sums_ = root_.Create(kSumsFile);
    if (!sums_) return Failed(root_.Path() + sep_ + kSumsFile);
    const std::pair<const char*, std::unique_ptr<OutputFolder>*> folders[] = {
        {kRecordsFolder, &records_}, {kAttachmentsFolder, &attachments_}, {kPagesFolder, &pages_}};
    for (const auto& [name, folder] : folders) {
      *folder = root_.MakeFolder(name);
      if (*folder) continue;
      p_.MessageBox(BoxOwner::Main, "フォルダを作成できません!!\r\n" + root_.Path() + sep_ + name,
                    kExportCaption, BoxIcon::Warning);
      return false;
    }
    return true;
  }

  // A whole file of record n into its folder of records/ or attachments/
  // under its native name, with its checksum line; false after the failure
  // box.
  bool Write(bool attachment, int32_t n, const std::string& nativeName, const std::string& bytes, double* timeInto) {
    Shard& shard = attachment ? attachmentShard_ : recordShard_;
    const char* sub = attachment ? kAttachmentsFolder : kRecordsFolder;
    OutputFolder* folder = ShardFor(shard, attachment ? *attachments_ : *records_, n);
    if (!folder) return false;
    {
      Timed t(timeInto);
      if (!WriteNewFileIn(*folder, nativeName, bytes)) return Failed(folder->Path() + sep_ + nativeName);
    }
    Sha256Digest d;
    {
      Timed t(&times_.hashing);
      if (!Sha256OfBytes(bytes, &d)) return HashFailed();
    }
    ++times_.files;
    return AddSum(HexDigest(d), std::string(sub) + "/" + shard.name + "/" + nativeName);
  }

  // A file of the folder itself (page: of report/), written in pieces; null
  // after the box.
  std::unique_ptr<HashedFile> Start(const std::string& name, bool page = false) {
    OutputFolder& folder = page ? *pages_ : root_;
    std::unique_ptr<NewFile> f = folder.Create(name);
    if (!f) {
      Failed(folder.Path() + sep_ + name);
      return nullptr;
    }
    return std::make_unique<HashedFile>(std::move(f));
  }

  bool Finish(HashedFile& f, const std::string& name, bool page = false) {
    const std::string hex = f.Finish();
    const std::string relative = page ? std::string(kPagesFolder) + "/" + name : name;
    if (hex.empty()) return Failed(root_.Path() + sep_ + relative);
    ++times_.files;
    return AddSum(hex, relative);
  }

  std::unique_ptr<ScratchFile> Scratch() {
    std::unique_ptr<ScratchFile> s = root_.CreateScratch();
    if (!s) Failed(root_.Path());
    return s;
  }

  bool AddEvidence(const EvidenceFile& e) { return AddSum(e.sha256, e.path); }

  // SHA256SUMS finished last: every file but itself is in it. Then all that
  // was written is made durable at once.
  bool FinishSumsAndSync() {
    Timed t(&times_.writing);
    if (!sumsOk_ || !sums_->Finish()) return Failed(root_.Path() + sep_ + kSumsFile);
    ++times_.files;
    if (root_.Sync()) return true;
    p_.MessageBox(BoxOwner::Main, "書き出したファイルをディスクに保存できませんでした!!", kExportCaption,
                  BoxIcon::Warning);
    return false;
  }

 private:
  // The folder of a thousand records that record n's files go into, made
  // when its first file is written; records come in rising order, so a
  // folder once left is never needed again.
  struct Shard {
    std::string name;
    std::unique_ptr<OutputFolder> folder;
  };
  OutputFolder* ShardFor(Shard& shard, OutputFolder& parent, int32_t n) {
    const std::string name = RecordFolder(n);
    if (shard.folder && shard.name == name) return shard.folder.get();
    shard.folder = parent.MakeFolder(name);
    shard.name = name;
    if (!shard.folder) {
      p_.MessageBox(BoxOwner::Main, "フォルダを作成できません!!\r\n" + parent.Path() + sep_ + name,
                    kExportCaption, BoxIcon::Warning);
    }
    return shard.folder.get();
  }

  bool AddSum(const std::string& hex, const std::string& path) {
    if (!sums_->Append(Sha256SumsLine(hex, path))) sumsOk_ = false;
    return sumsOk_ || Failed(root_.Path() + sep_ + kSumsFile);
  }

  bool Failed(const std::string& path) {
    p_.MessageBox(BoxOwner::Main, "ファイルオープンに失敗\r\n" + path, kExportCaption, BoxIcon::Warning);
    return false;
  }

  bool HashFailed() {
    p_.MessageBox(BoxOwner::Main, "SHA-256 を計算できません!!", kExportCaption, BoxIcon::Warning);
    return false;
  }

  Platform& p_;
  char sep_;
  OutputFolder& root_;
  std::unique_ptr<OutputFolder> records_;
  std::unique_ptr<OutputFolder> attachments_;
  std::unique_ptr<OutputFolder> pages_;
  Shard recordShard_;
  Shard attachmentShard_;
  ExportTimes& times_;
  std::unique_ptr<NewFile> sums_;
  bool sumsOk_ = true;
};

// The pages of the report, each kRecordsPerPage records of those chosen:
// the rows go straight into the page, the record sections wait in a scratch
// file until the rows are complete.
class ReportPages {
 public:
  ReportPages(ExportWriter& out, std::string mobileName, std::vector<ReportPage> pages)
      : out_(out), mobileName_(std::move(mobileName)), pages_(std::move(pages)) {}

  const std::vector<ReportPage>& Pages() const { return pages_; }

  bool Add(const ReportRecord& r, std::string_view text) {
    if (!page_ && !Open()) return false;
    page_->Append(PageRow(r));
    PageSection(toSections_, r, text);
    if (++onPage_ == pages_[static_cast<std::size_t>(number_ - 1)].records) return Close();
    return true;
  }

  // True when every page was written whole.
  bool Done() const { return ok_ && !page_ && number_ == static_cast<int32_t>(pages_.size()); }

 private:
  bool Open() {
    if (number_ >= static_cast<int32_t>(pages_.size())) return ok_ = false;
    const ReportPage& p = pages_[static_cast<std::size_t>(number_)];
    ++number_;
    onPage_ = 0;
    page_ = out_.Start(PageFileName(number_), true);
    if (page_) sections_ = out_.Scratch();
    if (!page_ || !sections_) return ok_ = false;
    page_->Append(PageStart(mobileName_, number_, static_cast<int32_t>(pages_.size()), p.first, p.last));
    return true;
  }

  bool Close() {
    page_->Append(PageSectionsStart());
    if (!sectionsOk_ || !sections_->ReadBack([&](std::string_view piece) { return page_->Append(piece); })) {
      ok_ = false;
    }
    sections_.reset();
    page_->Append(PageEnd(number_, static_cast<int32_t>(pages_.size())));
    if (!ok_ || !out_.Finish(*page_, PageFileName(number_), true)) ok_ = false;
    page_.reset();
    return ok_;
  }

  ExportWriter& out_;
  std::string mobileName_;
  std::vector<ReportPage> pages_;
  int32_t number_ = 0;  // of the page open or last closed, from 1
  int32_t onPage_ = 0;
  std::unique_ptr<HashedFile> page_;
  std::unique_ptr<ScratchFile> sections_;
  bool sectionsOk_ = true;
  bool ok_ = true;
  TextSink toSections_ = [this](std::string_view piece) {
    if (!sections_->Append(piece)) sectionsOk_ = false;
  };
};

// The pages the chosen records fill, in order: known before the first is
// written, so that each names its records and its neighbours.
std::vector<ReportPage> PagesOf(const RecordChoice& choice) {
  std::vector<ReportPage> pages;
  for (const auto& [first, last] : choice.Ranges()) {
    for (int64_t n = first; n <= last;) {
      if (pages.empty() || pages.back().records == kRecordsPerPage) pages.push_back({static_cast<int32_t>(n), 0, 0});
      ReportPage& p = pages.back();
      const int64_t take = std::min<int64_t>(kRecordsPerPage - p.records, last - n + 1);
      p.records += static_cast<int32_t>(take);
      n += take;
      p.last = static_cast<int32_t>(n - 1);
    }
  }
  return pages;
}

// The Data entries of the extraction settings, in table order: one TSV
// column each.
std::vector<int> DataColumns(const ExtractionSettings& s) {
  std::vector<int> columns;
  for (int i = 0; i < UsedCount(s); ++i) {
    if (s.entries[static_cast<std::size_t>(i)].kind == EntryKind::Data) columns.push_back(i);
  }
  return columns;
}

std::string TableHeader(const ExtractionSettings& s, const std::vector<int>& columns, bool withCase) {
  std::string h = TsvField("番号") + "\t" + TsvField("位置") + "\t" + TsvField("オフセット") + "\t" + TsvField("一覧行");
  for (int c : columns) h += "\t" + TsvCell(TsvField(s.entries[static_cast<std::size_t>(c)].name));
  h += "\t" + TsvField("添付ファイル");
  // What the case adds, after every column an export without one has.
  if (withCase) {
    h += "\t" + TsvField("時刻") + "\t" + TsvField("時間帯の仮定") + "\t" + TsvField("タグ") + "\t" + TsvField("メモ");
  }
  return h + kRowEnd;
}

// The cells of a record that the case gives (UTF-8, escaped): its time,
// whether its zone was assumed, its tags' labels and notes.
std::vector<std::string> CaseCells(ExportCase& c, int32_t n, Timeline* timeline) {
  const CaseTime t = c.TimeOf(n);
  timeline->Add(t);
  std::string labels, notes;
  c.TagsOf(n, &labels, &notes);
  return {TsvUtf8(t.found ? t.iso : std::string()), t.zoneAssumed ? TsvField("仮定") : std::string(), TsvUtf8(labels),
          TsvUtf8(notes)};
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
  void Values(const std::vector<std::string>& values, Carrier carrier = Carrier::None) {
    Cell();
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i > 0) Piece(kJoinValues);
      TsvFieldTo(sink_, values[i], carrier);
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
                   const std::vector<int>& columns, const std::vector<std::string>& caseCells) {
  TableRowWriter row(out);
  row.Plain(std::to_string(r.number));
  row.Plain(std::to_string(r.position));
  row.Plain(HexOffset(r.position));
  row.Values({r.listLine}, r.carrier);
  static const std::vector<std::string> kNone;
  for (int c : columns) {
    const std::size_t entry = static_cast<std::size_t>(c);
    row.Values(r.found && entry < rendered.values.size() ? rendered.values[entry] : kNone, r.carrier);
  }
  // Each beneath attachments/, its folder included.
  std::vector<std::string> files;
  for (const std::string& name : r.attachmentFiles) files.push_back(RecordFolder(r.number) + "/" + name);
  row.Values(files);
  for (const std::string& cell : caseCells) row.Plain(cell);
  row.End();
}

// The attachments of the record just rendered, every multipart item's,
// decoded as opening them does, each as NNNNNN-K-NAME in its folder.
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
      bytes = AttachmentBytes(a);
      name = RecordNumber6(n) + "-" + std::to_string(k) + "-" + SafeAttachmentName(a.name, k, &taken);
    }
    if (!out.Write(true, n, NativeFileName(name), bytes, &times.attachments)) return false;
    record->attachmentFiles.push_back(name);
    const std::string::size_type dot = name.rfind('.');
    const std::string_view extension = dot == std::string::npos ? std::string_view() : std::string_view(name).substr(dot + 1);
    record->attachmentLinked.push_back(JudgeAttachment(extension, bytes) == AttachmentOpening::Open);
    ++times.attachmentFiles;
  }
  return true;
}

// The read of path that comes first from *next on in the log; null when
// there is none.
const RecordingFileSystem::Read* NextRead(const std::vector<RecordingFileSystem::Read>& reads, std::size_t* next,
                                        const std::string& path) {
  for (std::size_t i = *next; i < reads.size(); ++i) {
    if (reads[i].path == path) {
      *next = i + 1;
      return &reads[i];
    }
  }
  return nullptr;
}

// The evidence as it was loaded: the mobile file as hashed where its bytes
// were read (mobile), the settings and the index from the bytes read, in the
// order the loading read them; false when one is missing from the log.
bool EvidenceAsLoaded(const Workspace& ws, RecordingFileSystem& recording, const std::string& indexPath,
                      const EvidenceFile& mobile, const RecordingFileSystem::Read* indexInPieces,
                      std::vector<EvidenceFile>* evidence) {
  const char sep = recording.PathSeparator();
  const PathParts* parts[] = {nullptr, &ws.state.extractionFilePath, &ws.state.displayFilePath};
  const char* roles[] = {"インデックスファイル", "抽出設定ファイル", "表示設定ファイル"};
  std::vector<EvidenceFile> loaded;
  std::size_t next = 0;
  for (int i = 0; i < 3; ++i) {
    const std::string path = parts[i] ? OpenablePath(*parts[i], sep) : recording.AbsolutePath(indexPath);
    const RecordingFileSystem::Read* r =
        !parts[i] && indexInPieces ? indexInPieces : NextRead(recording.reads, &next, path);
    if (!r || r->sha256.empty()) return false;
    EvidenceFile e;
    e.role = roles[i];
    e.name = parts[i] ? ShownFileName(*parts[i]) : ShownFileName(SplitPath(indexPath, sep));
    e.path = r->absolutePath;
    e.size = r->size;
    e.sha256 = r->sha256;
    loaded.push_back(std::move(e));
  }
  // Listed as the report has always listed them: the mobile file first.
  *evidence = {mobile, loaded[1], loaded[2], loaded[0]};
  return true;
}

// The mobile file as the export reads it: its coverage, and its SHA-256 of
// the very bytes read. Where a walk reads of the file only its record's
// bytes (WalkReadsFileForRecordOnly), the file is read a window at a time
// and the records are rendered from the bytes each needs (RenderInPieces);
// otherwise it is held whole as the data display holds it.
struct MobileRead {
  bool inPieces = false;
  Coverage coverage;
  EvidenceFile evidence;
};

bool ReadMobile(Workspace& ws, FileReader* reader, MobileRead* out) {
  Sha256Digest d;
  bool hashed = true;
  if (out->inPieces) {
    Sha256Stream hash;
    FileWindow window(*reader, kFileWindowBytes, [&](std::string_view bytes) { return hash.Add(bytes); });
    if (!ComputeCoverageInPieces(window, ws.extraction, ws.index, &out->coverage) || !window.ReadRest()) {
      ShowReadFailure(ws.platform, ReadStatus::CannotOpen, kExportCaption);
      return false;
    }
    hashed = hash.Finish(&d);
  } else {
    // Held whole: as loaded, or read now where the settings need the whole
    // file beside each record.
    if (reader && (!reader->ReadAt(0, static_cast<std::size_t>(reader->Size()), &ws.state.mobileFile) ||
                   ws.state.mobileFile.size() != reader->Size())) {
      ShowReadFailure(ws.platform, ReadStatus::CannotOpen, kExportCaption);
      return false;
    }
    out->coverage = ComputeCoverage(ws.state.mobileFile, ws.extraction, ws.index);
    hashed = Sha256OfBytes(ws.state.mobileFile, &d);
  }
  const char sep = ws.files.PathSeparator();
  EvidenceFile& e = out->evidence;
  e.role = "携帯ファイル";
  e.name = ShownFileName(ws.state.mobileFilePath);
  e.path = ws.files.AbsolutePath(OpenablePath(ws.state.mobileFilePath, sep));
  e.size = reader ? reader->Size() : ws.state.mobileFile.size();
  e.sha256 = hashed ? HexDigest(d) : std::string();
  return true;
}

// Record n rendered as from the whole file, from the bytes its D_SET search
// looks at alone (held as the mobile file for that one walk, its position
// moved with them); false when the file could not be read.
bool RenderInPieces(Workspace& ws, FileWindow& window, int32_t n, RenderedRecord* rendered) {
  const TagDefinition& e = ws.extraction.entries[0];
  const std::size_t slot = static_cast<std::size_t>(n);
  const int32_t position = ws.index.positions[slot];
  TagMatch m;
  if (!FindRangeInFile(window, e, position, ExtractMode::PositionsOnly, &m)) return false;
  if (m.status != MatchStatus::Found || m.end < m.start) {
    *rendered = RenderedRecord{};  // missing, as the walk finds it
    return true;
  }
  const RecordBytes r = RecordBytesOf(e, position, m, window.FileBytes());
  if (!window.Cover(r.first, static_cast<std::size_t>(r.end - r.first))) return false;
  ws.state.mobileFile.assign(window.View().substr(static_cast<std::size_t>(r.first - window.Base()),
                                                  static_cast<std::size_t>(r.end - r.first)));
  ws.index.positions[slot] = position - static_cast<int32_t>(r.first);
  *rendered = RenderRecord(ws, n, nullptr, RenderValues::Collect);
  ws.index.positions[slot] = position;
  return true;
}

// The list lines of an index file read in pieces, read again in record
// order as the records are written, and checked to be of the file read
// before: the same positions, the same bytes to the end.
class ListLinesAgain {
 public:
  ListLinesAgain(FileReader& reader, const RecordIndex& index)
      : stream_(reader, kFileWindowBytes, [this](std::string_view bytes) { return hash_.Add(bytes); }), index_(index) {}

  // Record n's list line (n past the last one read); false when the file
  // could not be read or is not what it was.
  bool LineOf(int32_t n, std::string* line) {
    if (!headRead_) {
      IndexFilePaths paths;
      std::string countText;
      if (!stream_.ReadHead(&paths, &countText)) return false;
      headRead_ = true;
    }
    if (n <= read_) return false;  // the records come in rising order, each once
    std::string position;
    while (read_ < n) {
      if (stream_.NextRecord(line, &position) != RecordRead::Read) return false;
      ++read_;
      if (!HoldsRecord(index_, read_) ||
          ReadIndexPosition(position) != index_.positions[static_cast<std::size_t>(read_)]) {
        return false;
      }
    }
    return true;
  }

  // Every byte read again to the end, and the same as hashed before.
  bool SameAsHashed(const std::string& sha256) {
    Sha256Digest d;
    return stream_.ReadRest() && hash_.Finish(&d) && HexDigest(d) == sha256;
  }

 private:
  Sha256Stream hash_;
  IndexTextStream stream_;
  const RecordIndex& index_;
  bool headRead_ = false;
  int32_t read_ = 0;
};

// A file read in pieces that is no longer the file read before: the export
// fails rather than list a hash of bytes it did not write from.
bool ChangedDuringExport(Platform& p, const std::string& role, const std::string& path) {
  p.MessageBox(BoxOwner::Main, role + "がエクスポートの間に変わりました!!\r\n" + path, kExportCaption,
               BoxIcon::Warning);
  return false;
}

bool IndexChanged(Platform& p, const std::string& path) { return ChangedDuringExport(p, "インデックスファイル", path); }

// Whether the mobile file read in pieces for the records is the file
// hashed before (every byte read again to the end); false after its box.
bool SameAsHashed(Platform& p, FileWindow& window, Sha256Stream& hash, const EvidenceFile& evidence) {
  Sha256Digest d;
  if (!window.ReadRest()) {
    ShowReadFailure(p, ReadStatus::CannotOpen, kExportCaption);
    return false;
  }
  if (hash.Finish(&d) && HexDigest(d) == evidence.sha256) return true;
  return ChangedDuringExport(p, evidence.role, evidence.path);
}

bool OpenOutputFolder(Platform& p, FileSystem& fs, const std::string& outDir, std::unique_ptr<OutputFolder>* root) {
  switch (fs.OpenOutputFolder(outDir, true, root)) {
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

bool Export(Platform& p, RecordingFileSystem& fs, const ExportRequest& request, ExportReporter& reporter,
            ExportTimes& times) {
  const std::string& indexPath = request.indexPath;
  RecordChoice choice = request.choice;
  const bool tagged = request.tagged;
  Workspace ws(p, fs);
  // An index file holds the records someone chose to index: all of them are
  // read, whatever capacity it was made with.
  SetRecordCapacity(ws.index, kAllRecords);
  MobileInPieces loaded;
  loaded.heldBytes = request.heldMobileBytes;
  loaded.heldIndexBytes = request.heldIndexBytes;
  Sha256Stream indexHash;
  loaded.indexRead = [&](std::string_view bytes) { return indexHash.Add(bytes); };
  if (LoadIndexFile(ws, fs.AbsolutePath(indexPath), nullptr, &loaded) != IndexFileStatus::Done) return false;
  FileReader* const mobileReader = loaded.reader.get();  // null: held whole
  // What the export covers is known before anything is written: an export
  // that would leave records out says so and writes nothing, unless asked
  // for a partial one.
  MobileRead mobile;
  mobile.inPieces = mobileReader && WalkReadsFileForRecordOnly(ws.extraction);
  {
    Timed t(&times.hashing);
    if (!ReadMobile(ws, mobileReader, &mobile)) return false;
  }
  const Coverage& coverage = mobile.coverage;
  reporter.CoverageFound(coverage);
  if (CoverageLeavesRecordsOut(coverage) && !request.partial) {
    ShowWarning(p, LeftOutText(coverage) + "。すべてを書き出すにはインデックスを作り直してください "
                                           "(--max-records all)。この分を除いて書き出すには --partial を付けてください!!");
    return false;
  }
  ReportSummary summary;
  {
    Timed t(&times.hashing);
    RecordingFileSystem::Read indexRead;
    Sha256Digest d;
    if (loaded.indexReader) {
      indexRead = {indexPath, fs.AbsolutePath(indexPath), loaded.indexReader->Size(),
                   indexHash.Finish(&d) ? HexDigest(d) : std::string()};
    }
    if (mobile.evidence.sha256.empty() ||
        !EvidenceAsLoaded(ws, fs, indexPath, mobile.evidence, loaded.indexReader ? &indexRead : nullptr,
                          &summary.evidence)) {
      p.MessageBox(BoxOwner::Main, "SHA-256 を計算できません!!", kExportCaption,
                                           BoxIcon::Warning);
      return false;
    }
  }
  // The case must be of this very mobile file and index (evidence[0] and
  // evidence[3]): its tags and times are by record number.
  std::unique_ptr<ExportCase> kase;
  if (!request.casePath.empty()) {
    kase = std::make_unique<ExportCase>();
    if (!kase->Open(p, request.casePath, summary.evidence[0].sha256, summary.evidence[3].sha256)) return false;
    if (tagged) choice = kase->TaggedChoice();
  }
  int32_t beyond = 0;
  if (!choice.Resolve(ws.index.count, &beyond)) {
    reporter.NoSuchRecord(beyond, ws.index.count);
    return false;
  }
  summary.madeAt = UtcNow();
  summary.indexRecords = ws.index.count;
  summary.choice = choice.Text();
  summary.chosenBy = choice.All() ? std::string()
                     : tagged      ? std::string(kTaggedOption)
                                   : std::string(kRecordsOption) + " " + summary.choice;
  summary.chosen = choice.Count();

  // Made or opened once, and everything beneath it created through it.
  std::unique_ptr<OutputFolder> root;
  if (!OpenOutputFolder(p, fs, request.outDir, &root)) return false;
  ExportWriter out(p, fs.PathSeparator(), *root, times);
  if (!out.MakeFolders()) return false;
  for (const EvidenceFile& e : summary.evidence) {
    if (!out.AddEvidence(e)) return false;
  }

  const int64_t count = summary.chosen;
  times.records = static_cast<int>(count);
  reporter.Line("エクスポート: " + std::to_string(count) + "件のレコードを書き出します");
  const std::vector<int> columns = DataColumns(ws.extraction);
  // The table and the pages are written as the records are.
  std::unique_ptr<HashedFile> table = out.Start(kTableFile);
  if (!table) return false;
  ReportPages pages(out, summary.evidence[0].name, PagesOf(choice));
  {
    Timed t(&times.tables);
    table->Append(TableHeader(ws.extraction, columns, kase != nullptr));
  }
  Timeline timeline;
  int64_t done = 0;
  // Read in pieces, the file is hashed again as the records are read.
  std::unique_ptr<FileWindow> window;
  Sha256Stream rereadHash;
  if (mobile.inPieces) {
    window = std::make_unique<FileWindow>(*mobileReader, kFileWindowBytes,
                                          [&](std::string_view bytes) { return rereadHash.Add(bytes); });
  }
  // Read in pieces, the index gives its list lines again as the records
  // are written, in their order.
  std::unique_ptr<ListLinesAgain> lines;
  if (loaded.indexReader) lines = std::make_unique<ListLinesAgain>(*loaded.indexReader, ws.index);
  const std::string& indexFile = summary.evidence[3].path;
  for (const auto& [first, last] : choice.Ranges()) {
    for (int32_t n = first; n <= last; ++n) {
      const std::size_t slot = static_cast<std::size_t>(n);
      ReportRecord record;
      record.number = n;
      record.position = ws.index.positions[slot];
      if (!lines) {
        record.listLine = ws.index.lines[slot];
      } else if (!lines->LineOf(n, &record.listLine)) {
        return IndexChanged(p, indexFile);
      }
      RenderedRecord rendered;
      {
        Timed t(&times.rendering);
        if (!window) {
          rendered = RenderRecord(ws, n, nullptr, RenderValues::Collect);
        } else if (!RenderInPieces(ws, *window, n, &rendered)) {
          ShowReadFailure(p, ReadStatus::CannotOpen, kExportCaption);
          return false;
        }
        record.found = rendered.status == RenderStatus::Rendered;
        record.carrier = rendered.carrier;
      }
      if (record.found) {
        record.textFile = RecordFileName(n);
        if (!out.Write(false, n, record.textFile, rendered.text, &times.writing)) return false;
        if (!WriteAttachments(rendered, n, out, times, &record)) return false;
        if (rendered.attachmentsNotKept > 0) {
          ShowWarning(p, NotWrittenAttachments(n, rendered.attachmentsNotKept));
          times.attachmentsNotWritten += rendered.attachmentsNotKept;
        }
      } else {
        ++times.missingRecords;
      }
      {
        Timed t(&times.tables);
        WriteTableRow(*table, record, rendered, columns,
                      kase ? CaseCells(*kase, n, &timeline) : std::vector<std::string>());
        if (!pages.Add(record, rendered.text)) return false;
      }
      ++done;
      reporter.Count(static_cast<int>(done),
                     "エクスポート: " + std::to_string(done) + "/" + std::to_string(count) + "件目");
    }
  }
  if (!pages.Done() || !out.Finish(*table, kTableFile)) return false;
  if (window && !SameAsHashed(p, *window, rereadHash, mobile.evidence)) return false;
  if (lines && !lines->SameAsHashed(summary.evidence[3].sha256)) return IndexChanged(p, indexFile);
  summary.missing = times.missingRecords;
  summary.attachments = times.attachmentFiles;
  summary.tableRows = count + 1;
  summary.pages = pages.Pages();
  // The tagged records open the index page, before the coverage; the
  // timeline follows it.
  if (kase) summary.sections.push_back(TaggedSection(kase->Tags(), choice, summary.pages));
  summary.sections.push_back(ReportCoverage(coverage, static_cast<int32_t>(summary.chosen)));
  if (kase) {
    summary.sections.push_back(timeline.Section());
    // Hashed as it is once closed, beside the other evidence.
    EvidenceFile e;
    Timed t(&times.hashing);
    if (!kase->CloseAndHash(&e)) {
      p.MessageBox(BoxOwner::Main, "SHA-256 を計算できません!!", kExportCaption,
                                           BoxIcon::Warning);
      return false;
    }
    if (!out.AddEvidence(e)) return false;
    summary.evidence.push_back(e);
  }
  {
    Timed t(&times.writing);
    std::unique_ptr<HashedFile> index = out.Start(kReportFile);
    if (!index || !index->Append(ReportIndexPage(summary)) || !out.Finish(*index, kReportFile)) return false;
  }
  if (!out.FinishSumsAndSync()) return false;
  if (times.missingRecords > 0) {
    ShowWarning(p, std::to_string(times.missingRecords) + "件のレコードが携帯ファイルの記録位置に見つかりませんでした!!");
  }
  return times.missingRecords == 0 && times.attachmentsNotWritten == 0;
}

}  // namespace

std::string NotWrittenAttachments(int32_t n, std::size_t count) {
  return "レコード" + std::to_string(n) + "の添付ファイルのうち" + std::to_string(count) + "件は書き出していません (1項目" +
         std::to_string(kMaxItemAttachments) + "件まで)!!";
}

ExportSummary RunExport(Platform& platform, FileSystem& files, const ExportRequest& request,
                        ExportReporter* reporter) {
  ExportSummary summary;
  ExportTimes& t = summary.times;
  const Clock::time_point start = Clock::now();
  ExportReporter quiet;
  // Every file the loading reads is read through this file system, which
  // keeps what it read.
  RecordingFileSystem recording(files);
  const bool written = Export(platform, recording, request, reporter ? *reporter : quiet, t);
  summary.status = written ? ExportStatus::Written : ExportStatus::Failed;
  t.total = std::chrono::duration<double>(Clock::now() - start).count();
  return summary;
}

std::string ExportDoneText(const ExportTimes& t) {
  return "エクスポート終了: " + std::to_string(t.records) + "件 (見つからないもの " + std::to_string(t.missingRecords) +
         "件)、添付ファイル " + std::to_string(t.attachmentFiles) + "個、ファイル " + std::to_string(t.files) + "個、" +
         SecondsText(t.total) + " (表示 " + SecondsText(t.rendering) + "、添付 " + SecondsText(t.attachments) +
         "、ハッシュ " + SecondsText(t.hashing) + "、表と報告 " + SecondsText(t.tables) + "、書込み " +
         SecondsText(t.writing) + ")";
}

}  // namespace tanavo

#include "index/index_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "state/workspace.h"
#include "files/mobile_file.h"
#include "text/path.h"
#include "codec/codec.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "engine/tag_match.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "index/indexed_file.h"
#include "platform/progress_throttle.h"

namespace tanavo {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kOpen = "((";
constexpr std::string_view kClose = "))";
constexpr std::string_view kPositionOpen = "[[";
constexpr std::string_view kPositionClose = "]]";
constexpr const char* kLoadCaption = "インデックス読込";
constexpr const char* kSaveCaption = "インデックス保存";

// A number read from the file, rounded; text without a number gives 0 and
// values beyond a position's range are held at its ends.
int32_t RoundedNumber(std::string_view text) {
  const double v = ParseNumber(text);
  if (!std::isfinite(v)) return v > 0 ? INT32_MAX : 0;
  if (v >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  if (v <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  return static_cast<int32_t>(std::lround(v));
}

enum class RecordRead { Read, Missing, Damaged };

// Reads marked texts one after another from a read position.
class MarkedReader {
 public:
  explicit MarkedReader(std::string_view text) : text_(text) {}
  // The text between the next start and end marker; the read position moves
  // past the end marker. Nothing found: false, and the position stays.
  bool Next(std::string_view startMark, std::string_view endMark, std::string* out) {
    TagMatch m = Find(startMark, endMark);
    if (m.status != MatchStatus::Found) return false;
    out->swap(m.text);
    from_ = static_cast<int64_t>(m.end) + 1;
    return true;
  }
  // One record line from the read position: "((" number "))" list line "[["
  // position "]]". Its end is the first "]]" that closes a "[[" + number and
  // is followed by the next record's "((" (after its line end) or by the end
  // of the text, so that a list line holding "]]", or "[" at its end, or even
  // "[[", reads back whole. The searches never look past that end, and the
  // read position moves past it: each byte is looked at a bounded number of
  // times, whatever the text holds.
  RecordRead NextRecord(std::string* line, std::string* position) {
    const std::size_t from = Offset();
    std::size_t numberOpen = 0;
    std::size_t close = from;
    for (;; ++close) {
      close = text_.find(kPositionClose, close);
      if (close == std::string_view::npos) return RecordRead::Missing;
      if (EndsRecordLine(close, from, &numberOpen)) break;
    }
    // The markers before the position, in their order; a record without them
    // is damaged.
    const std::string_view head = text_.substr(from, numberOpen - from);
    const std::size_t open = head.find(kOpen);
    if (open == std::string_view::npos) return RecordRead::Damaged;
    const std::size_t shut = head.find(kClose, open + kOpen.size());
    if (shut == std::string_view::npos) return RecordRead::Damaged;
    line->assign(head.substr(shut + kClose.size()));
    const std::size_t number = numberOpen + kPositionOpen.size();
    position->assign(text_.substr(number, close - number));
    from_ = static_cast<int64_t>(close + kPositionClose.size()) + 1;
    return RecordRead::Read;
  }

 private:
  std::size_t Offset() const { return static_cast<std::size_t>(std::min<int64_t>(from_ - 1, text_.size())); }
  bool At(std::size_t at, std::string_view mark) const {
    return at <= text_.size() && text_.substr(at, mark.size()) == mark;
  }
  // Whether the "]]" at close ends a record line that starts at or after from;
  // numberOpen is then where its "[[" is.
  bool EndsRecordLine(std::size_t close, std::size_t from, std::size_t* numberOpen) const {
    std::size_t digits = close;
    while (digits > from && text_[digits - 1] >= '0' && text_[digits - 1] <= '9') --digits;
    if (digits == close || digits < from + kPositionOpen.size()) return false;
    if (!At(digits - kPositionOpen.size(), kPositionOpen)) return false;
    std::size_t after = close + kPositionClose.size();
    if (At(after, kCrLf)) {
      after += kCrLf.size();
    } else if (At(after, "\n")) {
      after += 1;
    }
    if (after != text_.size() && !At(after, kOpen)) return false;
    *numberOpen = digits - kPositionOpen.size();
    return true;
  }
  TagMatch Find(std::string_view startMark, std::string_view endMark) const {
    if (from_ > static_cast<int64_t>(text_.size())) return TagMatch{};
    return ExtractBetweenTags(text_, startMark, endMark, static_cast<int32_t>(from_), "", "",
                              ExtractMode::ContentOnly);
  }
  std::string_view text_;
  int64_t from_ = 1;
};

FileDialogSpec IndexDialog(const char* title, const Workspace& ws) {
  FileDialogSpec d = FileKindDialog(title, "インデックスファイル(*.ini)", "*.ini");
  d.fileName = ProposedIndexFileName(ws);
  return d;
}

void ShowStatus(Workspace& ws, int part, const char* prefix, const PathParts& parts) {
  ws.platform.SetStatusText(part, prefix + ShownFileName(parts));
}

// One of the three files an index file names: as stored, and where it is
// opened from.
struct NamedFile {
  std::string stored;
  IndexedFile found;
};

// The file's part of the status bar; a file found elsewhere than its stored
// path says so there (and, for tanavo-cli, in a line of its own). The part
// is narrow: the mark comes before the name, where it is never cut off, and
// the whole path of the file used is the part's tip.
void ShowFileStatus(Workspace& ws, int part, const char* label, const PathParts& parts, const NamedFile& file) {
  const std::string prefix = std::string(label) + (file.found.moved ? "(別の場所): " : ": ");
  ws.platform.SetStatusText(part, prefix + ShownFileName(parts));
  if (!file.found.moved) return;
  ws.platform.SetStatusTip(part, "読み込んだファイル: " + file.found.path + " (記録されたパス: " + file.stored + ")");
  ws.platform.Note(file.stored + " が開けないため、" + file.found.path + " を読み込みました");
}

// After the box of a file that could not be opened: which file it was.
void NoteOpenFailure(Workspace& ws, const NamedFile& file) { ws.platform.Note("開けなかったファイル: " + file.stored); }

bool ReloadExtractionSettings(Workspace& ws, const NamedFile& file) {
  Platform& p = ws.platform;
  ResetSettings(ws.extraction);
  p.SetStatusText(kOperationPart, "抽出設定処理中");
  ShowFileStatus(ws, kExtractionPart, "抽出", ws.state.extractionFilePath, file);
  std::string bytes;
  const ReadStatus rs = p.ReadWholeFile(OpenablePath(ws.state.extractionFilePath, p.PathSeparator()), &bytes);
  bool read = rs == ReadStatus::Ok;
  if (read) ReadSettingsEntries(ws, bytes);
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  // The window's list must show the table, emptied or read.
  if (ws.views) ws.views->ExtractionSettingsReplaced();
  if (rs == ReadStatus::CannotOpen) {
    const std::string reason = p.LastErrorText();  // before any box can change it
    ShowOpenFailure(p, kLoadCaption);
    NoteOpenFailure(ws, file);
    p.MessageBox(BoxOwner::None, reason, "Error msg", BoxIcon::None);
  } else if (rs == ReadStatus::TooLarge) {
    ShowTooLarge(p, kLoadCaption);
  }
  return read;
}

bool ReloadDisplaySettings(Workspace& ws, const NamedFile& file) {
  Platform& p = ws.platform;
  p.SetStatusText(kOperationPart, "表示設定処理中");
  ShowFileStatus(ws, kDisplayPart, "表示", ws.state.displayFilePath, file);
  std::string bytes;
  const ReadStatus rs = p.ReadWholeFile(OpenablePath(ws.state.displayFilePath, p.PathSeparator()), &bytes);
  const bool taken = rs == ReadStatus::Ok && TakeDisplaySettingsFile(ws, bytes);
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  if (rs == ReadStatus::CannotOpen) {
    ShowOpenFailure(p, kLoadCaption);
    NoteOpenFailure(ws, file);
  }
  if (rs == ReadStatus::TooLarge) ShowTooLarge(p, kLoadCaption);
  if (rs == ReadStatus::Ok && !taken) ShowNotDisplaySettingsFile(ws);
  return taken;
}

}  // namespace

std::string BuildIndexFileText(const IndexFilePaths& paths, const RecordIndex& index,
                               const std::function<void(int32_t)>& progress) {
  const int32_t slots = static_cast<int32_t>(std::min(index.positions.size(), index.lines.size())) - 1;
  const int32_t count = std::max<int32_t>(0, std::min<int32_t>(index.count, slots));
  std::size_t size = paths.mobile.size() + paths.extraction.size() + paths.display.size() + 64;
  for (int32_t n = 1; n <= count; ++n) size += index.lines[static_cast<std::size_t>(n)].size() + 32;
  std::string text;
  text.reserve(size);
  for (const std::string* path : {&paths.mobile, &paths.extraction, &paths.display}) {
    text.append(kOpen).append(*path).append(kClose).append(kCrLf);
  }
  text.append(kOpen).append(std::to_string(count)).append(kClose).append(kCrLf);
  for (int32_t n = 1; n <= count; ++n) {
    if (progress) progress(n);
    const std::size_t slot = static_cast<std::size_t>(n);
    text.append(kOpen).append(std::to_string(n)).append(kClose);
    text.append(index.lines[slot]);
    text.append(kPositionOpen).append(std::to_string(index.positions[slot])).append(kPositionClose).append(kCrLf);
  }
  return text;
}

void ReadIndexFilePaths(std::string_view text, IndexFilePaths* paths) {
  MarkedReader reader(text);
  for (std::string* path : {&paths->mobile, &paths->extraction, &paths->display}) {
    if (!reader.Next(kOpen, kClose, path)) path->clear();
  }
}

IndexTextNotes ReadIndexFileText(std::string_view text, IndexFilePaths* paths, RecordIndex* index,
                                 const std::function<void(int32_t, int32_t)>& progress) {
  IndexTextNotes notes;
  MarkedReader reader(text);
  for (std::string* path : {&paths->mobile, &paths->extraction, &paths->display}) {
    if (!reader.Next(kOpen, kClose, path)) path->clear();
  }
  std::string countText;
  reader.Next(kOpen, kClose, &countText);
  notes.storedCount = std::max<int32_t>(0, RoundedNumber(countText));
  int32_t count = notes.storedCount;
  if (count > index->capacity) {
    notes.overCapacity = true;
    count = index->capacity;
  }
  // Slots are added as records are read, never for the count the header
  // claims: a damaged or hostile header costs nothing.
  ClearRecords(*index);
  std::string position;
  for (int32_t n = 1; n <= count; ++n) {
    if (progress) progress(n, count);
    const std::size_t slot = RecordSlotFor(*index, n);
    index->count = n;
    const RecordRead read = reader.NextRecord(&index->lines[slot], &position);
    if (read != RecordRead::Read) {
      // A cut or damaged file: the records read so far are the index.
      (read == RecordRead::Missing ? notes.truncated : notes.damaged) = true;
      index->count = n - 1;
      break;
    }
    index->positions[slot] = RoundedNumber(position);
  }
  return notes;
}

std::string ProposedIndexFileName(const Workspace& ws) {
  return ws.state.mobileFilePath.baseName + ws.state.mobileFilePath.extension + ".ini";
}

int SaveIndexFile(Workspace& ws) {
  Platform& p = ws.platform;
  std::string path;
  if (!p.SaveFileDialog(IndexDialog("インデックスファイルの保存", ws), &path)) return 1;
  const PathParts chosen = SplitPath(path, p.PathSeparator());
  p.SetStatusText(kOperationPart, "保存処理中");
  const char sep = p.PathSeparator();
  const IndexFilePaths paths{JoinPath(ws.state.mobileFilePath, sep), JoinPath(ws.state.extractionFilePath, sep),
                             JoinPath(ws.state.displayFilePath, sep)};
  const std::string total = std::to_string(ws.index.count);
  ProgressThrottle progress([&p](const std::string& t) { p.SetStatusText(kProgressPart, t); });
  const std::string text = BuildIndexFileText(paths, ws.index, [&](int32_t n) {
    progress.Update(std::to_string(n) + "/" + total + "件目");
  });
  progress.Flush();
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  if (p.WriteFileReplacing(path, text) != WriteStatus::Ok) {
    ShowOpenFailure(p, kSaveCaption);
    return 1;
  }
  // Named only once written, so that the bar never names a file that holds
  // no index.
  ShowStatus(ws, kIndexPart, "ｲﾝﾃﾞｯｸｽ: ", chosen);
  ws.state.indexFilePath = chosen;
  return 0;
}

int LoadIndexFileCommand(Workspace& ws) {
  Platform& p = ws.platform;
  std::string path;
  if (!p.OpenFileDialog(IndexDialog("インデックスファイルを開く", ws), &path)) return 1;
  std::string bytes;
  if (ShowReadFailure(p, p.ReadWholeFile(path, &bytes), kLoadCaption)) return 1;
  const char sep = p.PathSeparator();
  // What the index file names is looked at before anything changes: a file
  // that must not be opened refuses the whole index file.
  IndexFilePaths paths;
  ReadIndexFilePaths(bytes, &paths);
  NamedFile files[] = {{paths.mobile, {}}, {paths.extraction, {}}, {paths.display, {}}};
  for (NamedFile& file : files) {
    file.found = LocateIndexedFile(p, file.stored, path);
    if (file.found.refusal == IndexedFileRefusal::None) continue;
    p.MessageBox(BoxOwner::Main, IndexedFileRefusalText(file.found.refusal, file.stored), kLoadCaption,
                 BoxIcon::Warning);
    return 1;
  }
  ShowStatus(ws, kIndexPart, "ｲﾝﾃﾞｯｸｽ: ", SplitPath(path, sep));
  ws.state.indexFilePath = SplitPath(path, sep);
  p.SetStatusText(kOperationPart, "ｲﾝﾃﾞｯｸｽ処理中");
  ProgressThrottle progress([&p](const std::string& t) { p.SetStatusText(kProgressPart, t); });
  const IndexTextNotes notes = ReadIndexFileText(bytes, &paths, &ws.index, [&](int32_t n, int32_t count) {
    progress.Update(std::to_string(n) + "/" + std::to_string(count) + "件目");
  });
  progress.Flush();
  bytes.clear();
  bytes.shrink_to_fit();  // the mobile file is read next; do not hold both
  // A file found elsewhere is the one loaded, and the one a later save names;
  // the index file itself is never rewritten for it.
  PathParts* parts[] = {&ws.state.mobileFilePath, &ws.state.extractionFilePath, &ws.state.displayFilePath};
  for (int i = 0; i < 3; ++i) *parts[i] = SplitPath(files[i].found.moved ? files[i].found.path : files[i].stored, sep);
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  if (notes.overCapacity) {
    ShowWarning(p, "インデックスファイルのレコードが" + std::to_string(ws.index.capacity) + "件を超えています。" +
                       std::to_string(static_cast<int64_t>(ws.index.capacity) + 1) + "件目以降は読み込みませんでした!!");
  }
  if (notes.truncated) {
    ShowWarning(p, "インデックスファイルが途中で終わっています。" + std::to_string(ws.index.count) +
                       "件目までを読み込みました!!");
  }
  if (notes.damaged) {
    ShowWarning(p, "インデックスファイルの" + std::to_string(ws.index.count + 1) + "件目が壊れています。" +
                       std::to_string(ws.index.count) + "件目までを読み込みました!!");
  }

  p.SetStatusText(kOperationPart, "携帯ﾌｧｲﾙ読込中");
  ShowFileStatus(ws, kMobilePart, "携帯", ws.state.mobileFilePath, files[0]);
  bool opened = true;
  const bool mobileRead = ReloadMobileFile(ws, OpenablePath(ws.state.mobileFilePath, sep), kLoadCaption, &opened);
  p.SetStatusText(kOperationPart, "");
  if (!mobileRead) {
    if (!opened) NoteOpenFailure(ws, files[0]);
    return 1;
  }
  if (!ReloadExtractionSettings(ws, files[1])) return 1;
  if (!ReloadDisplaySettings(ws, files[2])) return 1;
  return notes.truncated || notes.damaged ? 1 : 0;
}

}  // namespace tanavo

#include "index/index_file.h"

#include <cmath>
#include <cstdint>

#include "app/app.h"
#include "app/mobile_file.h"
#include "app/path.h"
#include "codec/codec.h"
#include "dispset/kdp_file.h"
#include "engine/tag_match.h"
#include "extract/extraction_window.h"
#include "extract/kta_file.h"

namespace tanavo {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kOpen = "((";
constexpr std::string_view kClose = "))";
constexpr std::string_view kPositionOpen = "[[";
constexpr std::string_view kPositionClose = "]]";
constexpr const char* kLoadCaption = "インデックス読込";
constexpr const char* kSaveCaption = "インデックス保存";

constexpr int kOperationPart = 0;
constexpr int kProgressPart = 1;
constexpr int kMobilePart = 2;
constexpr int kExtractionPart = 3;
constexpr int kDisplayPart = 4;
constexpr int kIndexPart = 5;

// A number read from the file, rounded; text without a number gives 0 and
// values beyond a position's range are held at its ends.
int32_t RoundedNumber(std::string_view text) {
  const double v = ParseNumber(text);
  if (!std::isfinite(v)) return v > 0 ? INT32_MAX : 0;
  if (v >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  if (v <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  return static_cast<int32_t>(std::lround(v));
}

// Reads marked texts one after another from a read position.
class MarkedReader {
 public:
  explicit MarkedReader(std::string_view text) : text_(text) {}
  // The text between the next start and end marker; the read position moves
  // past the end marker. Nothing found: false, and the position stays.
  bool Next(std::string_view startMark, std::string_view endMark, std::string* out) {
    TagMatch m = Find(startMark, endMark);
    if (m.status != 0) return false;
    out->swap(m.text);
    from_ = static_cast<int64_t>(m.end) + 1;
    return true;
  }
  // Two marked texts read from the same position: the first from startA to
  // endA, the second from startB to endB; the position moves past the second.
  bool NextPair(std::string_view startA, std::string_view endA, std::string* a, std::string_view startB,
                std::string_view endB, std::string* b) {
    TagMatch first = Find(startA, endA);
    TagMatch second = Find(startB, endB);
    if (first.status != 0 || second.status != 0) return false;
    a->swap(first.text);
    b->swap(second.text);
    from_ = static_cast<int64_t>(second.end) + 1;
    return true;
  }

 private:
  TagMatch Find(std::string_view startMark, std::string_view endMark) const {
    if (from_ > static_cast<int64_t>(text_.size())) return TagMatch{};
    return ExtractBetweenTags(text_, startMark, endMark, static_cast<int32_t>(from_), "", "",
                              ExtractMode::ContentOnly);
  }
  std::string_view text_;
  int64_t from_ = 1;
};

FileDialogSpec IndexDialog(const char* title, const App& app) {
  FileDialogSpec d = FileKindDialog(title, "インデックスファイル(*.ini)", "*.ini");
  d.fileName = ProposedIndexFileName(app);
  return d;
}

void ShowStatus(App& app, int part, const char* prefix, const PathParts& parts) {
  app.platform.SetStatusText(part, prefix + ShownFileName(parts));
}

bool ReloadExtractionSettings(App& app, const std::string& path) {
  Platform& p = app.platform;
  ResetSettings(app.extraction);
  p.SetStatusText(kOperationPart, "抽出設定処理中");
  ShowStatus(app, kExtractionPart, "抽出: ", app.state.extractionFilePath);
  std::string bytes;
  const ReadStatus rs = p.ReadWholeFile(path, &bytes);
  bool read = rs == ReadStatus::Ok;
  if (read) ReadSettingsEntries(app, bytes);
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  // The window's list must show the table, emptied or read.
  if (app.extractionWindow) app.extractionWindow->SettingsReplaced();
  if (rs == ReadStatus::CannotOpen) {
    const std::string reason = p.LastErrorText();  // before any box can change it
    ShowOpenFailure(p, kLoadCaption);
    p.MessageBox(BoxOwner::None, reason, "Error msg", BoxIcon::None);
  } else if (rs == ReadStatus::TooLarge) {
    ShowTooLarge(p, kLoadCaption);
  }
  return read;
}

bool ReloadDisplaySettings(App& app, const std::string& path) {
  Platform& p = app.platform;
  p.SetStatusText(kOperationPart, "表示設定処理中");
  ShowStatus(app, kDisplayPart, "表示: ", app.state.displayFilePath);
  std::string bytes;
  const ReadStatus rs = p.ReadWholeFile(path, &bytes);
  const bool taken = rs == ReadStatus::Ok && TakeDisplaySettingsFile(app, bytes);
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  if (rs == ReadStatus::CannotOpen) ShowOpenFailure(p, kLoadCaption);
  if (rs == ReadStatus::TooLarge) ShowTooLarge(p, kLoadCaption);
  if (rs == ReadStatus::Ok && !taken) ShowNotDisplaySettingsFile(app);
  return taken;
}

}  // namespace

std::string BuildIndexFileText(const IndexFilePaths& paths, const RecordIndex& index,
                               const std::function<void(int32_t)>& progress) {
  const int32_t count = std::max<int32_t>(0, std::min<int32_t>(index.count, kIndexSlots));
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
  if (count > kIndexSlots) {
    notes.overCapacity = true;
    count = kIndexSlots;
  }
  index->count = count;
  std::string position;
  for (int32_t n = 1; n <= count; ++n) {
    if (progress) progress(n, count);
    const std::size_t slot = static_cast<std::size_t>(n);
    if (!reader.NextPair(kClose, kPositionOpen, &index->lines[slot], kPositionOpen, kPositionClose, &position)) {
      // A cut file: the records read so far are the index.
      notes.truncated = true;
      index->count = n - 1;
      break;
    }
    index->positions[slot] = RoundedNumber(position);
  }
  return notes;
}

std::string ProposedIndexFileName(const App& app) {
  return app.state.mobileFilePath.baseName + app.state.mobileFilePath.extension + ".ini";
}

int SaveIndexFile(App& app) {
  Platform& p = app.platform;
  std::string path;
  if (!p.SaveFileDialog(IndexDialog("インデックスファイルの保存", app), &path)) return 1;
  const PathParts chosen = SplitPath(path, p.PathSeparator());
  p.SetStatusText(kOperationPart, "保存処理中");
  const char sep = p.PathSeparator();
  const IndexFilePaths paths{JoinPath(app.state.mobileFilePath, sep), JoinPath(app.state.extractionFilePath, sep),
                             JoinPath(app.state.displayFilePath, sep)};
  const std::string total = std::to_string(app.index.count);
  const std::string text = BuildIndexFileText(paths, app.index, [&](int32_t n) {
    p.SetStatusText(kProgressPart, std::to_string(n) + "/" + total + "件目");
  });
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  if (p.WriteFileReplacing(path, text) != WriteStatus::Ok) {
    ShowOpenFailure(p, kSaveCaption);
    return 1;
  }
  // Named only once written, so that the bar never names a file that holds
  // no index.
  ShowStatus(app, kIndexPart, "ｲﾝﾃﾞｯｸｽ: ", chosen);
  return 0;
}

int LoadIndexFileCommand(App& app) {
  Platform& p = app.platform;
  std::string path;
  if (!p.OpenFileDialog(IndexDialog("インデックスファイルを開く", app), &path)) return 1;
  std::string bytes;
  const ReadStatus rs = p.ReadWholeFile(path, &bytes);
  if (rs == ReadStatus::CannotOpen) {
    ShowOpenFailure(p, kLoadCaption);
    return 1;
  }
  if (rs == ReadStatus::TooLarge) {
    ShowTooLarge(p, kLoadCaption);
    return 1;
  }
  const char sep = p.PathSeparator();
  ShowStatus(app, kIndexPart, "ｲﾝﾃﾞｯｸｽ: ", SplitPath(path, sep));
  p.SetStatusText(kOperationPart, "ｲﾝﾃﾞｯｸｽ処理中");
  IndexFilePaths paths;
  const IndexTextNotes notes = ReadIndexFileText(bytes, &paths, &app.index, [&](int32_t n, int32_t count) {
    p.SetStatusText(kProgressPart, std::to_string(n) + "/" + std::to_string(count) + "件目");
  });
  bytes.clear();
  bytes.shrink_to_fit();  // the mobile file is read next; do not hold both
  app.state.mobileFilePath = SplitPath(paths.mobile, sep);
  app.state.extractionFilePath = SplitPath(paths.extraction, sep);
  app.state.displayFilePath = SplitPath(paths.display, sep);
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  if (notes.overCapacity) {
    ShowWarning(p, "インデックスファイルのレコードが" + std::to_string(kIndexSlots) + "件を超えています。" +
                       std::to_string(kIndexSlots + 1) + "件目以降は読み込みませんでした!!");
  }
  if (notes.truncated) {
    ShowWarning(p, "インデックスファイルが途中で終わっています。" + std::to_string(app.index.count) +
                       "件目までを読み込みました!!");
  }

  p.SetStatusText(kOperationPart, "携帯ﾌｧｲﾙ読込中");
  ShowStatus(app, kMobilePart, "携帯: ", app.state.mobileFilePath);
  const bool mobileRead = ReloadMobileFile(app, OpenablePath(app.state.mobileFilePath, sep), kLoadCaption);
  p.SetStatusText(kOperationPart, "");
  if (!mobileRead) return 1;
  if (!ReloadExtractionSettings(app, OpenablePath(app.state.extractionFilePath, sep))) return 1;
  if (!ReloadDisplaySettings(app, OpenablePath(app.state.displayFilePath, sep))) return 1;
  return notes.truncated ? 1 : 0;
}

}  // namespace tanavo

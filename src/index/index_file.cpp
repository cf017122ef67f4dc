#include "index/index_file.h"

#include <cstdint>
#include <memory>
#include <utility>

#include "files/display_file.h"
#include "files/extraction_file.h"
#include "files/mobile_file.h"
#include "index/index_stream.h"
#include "index/indexed_file.h"
#include "platform/progress_throttle.h"
#include "state/workspace.h"
#include "text/path.h"

namespace tanavo {

namespace {

constexpr const char* kLoadCaption = "インデックス読込";
constexpr const char* kSaveCaption = "インデックス保存";

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
  const FileLoad read =
      ReadExtractionFile(ws, OpenablePath(ws.state.extractionFilePath, ws.files.PathSeparator()));
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  // The window's list must show the table, emptied or read.
  if (ws.views) ws.views->ExtractionSettingsReplaced();
  if (read == FileLoad::CannotOpen) {
    const std::string reason = ws.files.LastErrorText();  // before any box can change it
    ShowOpenFailure(p, kLoadCaption);
    NoteOpenFailure(ws, file);
    p.MessageBox(BoxOwner::None, reason, "Error msg", BoxIcon::None);
  } else if (read == FileLoad::TooLarge) {
    ShowTooLarge(p, kLoadCaption);
  }
  return read == FileLoad::Loaded;
}

bool ReloadDisplaySettings(Workspace& ws, const NamedFile& file) {
  Platform& p = ws.platform;
  p.SetStatusText(kOperationPart, "表示設定処理中");
  ShowFileStatus(ws, kDisplayPart, "表示", ws.state.displayFilePath, file);
  const FileLoad read = ReadDisplayFile(ws, OpenablePath(ws.state.displayFilePath, ws.files.PathSeparator()));
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  if (read == FileLoad::CannotOpen) {
    ShowOpenFailure(p, kLoadCaption);
    NoteOpenFailure(ws, file);
  }
  if (read == FileLoad::TooLarge) ShowTooLarge(p, kLoadCaption);
  if (read == FileLoad::NotThisKind) SettingsBoxes(p).Warn(SettingsWarning::NotDisplaySettings, 0, {});
  return read == FileLoad::Loaded;
}

}  // namespace

std::string ProposedIndexFileName(const Workspace& ws) {
  return ws.state.mobileFilePath.baseName + ws.state.mobileFilePath.extension + ".ini";
}

IndexFileStatus SaveIndexFile(Workspace& ws) {
  std::string path;
  if (!ws.platform.SaveFileDialog(IndexDialog("インデックスファイルの保存", ws), &path)) {
    return IndexFileStatus::Cancelled;
  }
  return SaveIndexFileTo(ws, path);
}

IndexFileStatus SaveIndexFileTo(Workspace& ws, const std::string& path) {
  Platform& p = ws.platform;
  const PathParts chosen = SplitPath(path, ws.files.PathSeparator());
  p.SetStatusText(kOperationPart, "保存処理中");
  const char sep = ws.files.PathSeparator();
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
  if (ws.files.WriteFileReplacing(path, text) != WriteStatus::Ok) {
    ShowOpenFailure(p, kSaveCaption);
    return IndexFileStatus::Failed;
  }
  // Named only once written, so that the bar never names a file that holds
  // no index.
  ShowStatus(ws, kIndexPart, "ｲﾝﾃﾞｯｸｽ: ", chosen);
  ws.state.indexFilePath = chosen;
  return IndexFileStatus::Done;
}

IndexFileStatus LoadIndexFileCommand(Workspace& ws) {
  std::string path;
  if (!ws.platform.OpenFileDialog(IndexDialog("インデックスファイルを開く", ws), &path)) {
    return IndexFileStatus::Cancelled;
  }
  return LoadIndexFile(ws, path);
}

IndexFileStatus LoadIndexFile(Workspace& ws, const std::string& path, IndexReporter* reporter,
                              MobileInPieces* pieces) {
  Platform& p = ws.platform;
  std::string bytes;
  // A large index file for the export: read a window at a time.
  std::unique_ptr<IndexTextStream> stream;
  if (pieces) {
    pieces->indexReader.reset();
    std::unique_ptr<FileReader> reader;
    ReadStatus rs = ws.files.OpenFileReader(path, &reader);
    if (rs == ReadStatus::Ok && reader->Size() > pieces->heldIndexBytes) {
      if (reader->Size() > kMaxFileBytes) rs = ReadStatus::TooLarge;
      if (ShowReadFailure(p, rs, kLoadCaption)) return IndexFileStatus::Failed;
      pieces->indexReader = std::move(reader);
      stream = std::make_unique<IndexTextStream>(*pieces->indexReader, kFileWindowBytes, pieces->indexRead);
    }
  }
  if (!stream && ShowReadFailure(p, ws.files.ReadWholeFile(path, &bytes), kLoadCaption)) {
    return IndexFileStatus::Failed;
  }
  const char sep = ws.files.PathSeparator();
  // What the index file names is looked at before anything changes: a file
  // that must not be opened refuses the whole index file.
  IndexFilePaths paths;
  std::string countText;
  if (!stream) {
    ReadIndexFilePaths(bytes, &paths);
  } else if (!stream->ReadHead(&paths, &countText)) {
    ShowReadFailure(p, ReadStatus::CannotOpen, kLoadCaption);
    return IndexFileStatus::Failed;
  }
  NamedFile files[] = {{paths.mobile, {}}, {paths.extraction, {}}, {paths.display, {}}};
  for (NamedFile& file : files) {
    file.found = LocateIndexedFile(ws.files, file.stored, path);
    if (file.found.refusal == IndexedFileRefusal::None) continue;
    p.MessageBox(BoxOwner::Main, IndexedFileRefusalText(file.found.refusal, file.stored), kLoadCaption,
                 BoxIcon::Warning);
    return IndexFileStatus::Failed;
  }
  ShowStatus(ws, kIndexPart, "ｲﾝﾃﾞｯｸｽ: ", SplitPath(path, sep));
  ws.state.indexFilePath = SplitPath(path, sep);
  p.SetStatusText(kOperationPart, "ｲﾝﾃﾞｯｸｽ処理中");
  ProgressThrottle progress([&p](const std::string& t) { p.SetStatusText(kProgressPart, t); });
  const auto shown = [&](int32_t n, int32_t count) {
    progress.Update(std::to_string(n) + "/" + std::to_string(count) + "件目");
  };
  IndexTextNotes notes;
  if (!stream) {
    notes = ReadIndexFileText(bytes, &paths, &ws.index, shown);
  } else {
    bool unreadable = false;
    notes = stream->ReadRecords(countText, &ws.index, false, shown, &unreadable);
    if (unreadable || !stream->ReadRest()) {
      progress.Flush();
      ShowReadFailure(p, ReadStatus::CannotOpen, kLoadCaption);
      return IndexFileStatus::Failed;
    }
  }
  progress.Flush();
  bytes.clear();
  bytes.shrink_to_fit();  // the mobile file is read next; do not hold both
  // A file found elsewhere is the one loaded, and the one a later save names;
  // the index file itself is never rewritten for it.
  PathParts* parts[] = {&ws.state.mobileFilePath, &ws.state.extractionFilePath, &ws.state.displayFilePath};
  for (int i = 0; i < 3; ++i) *parts[i] = SplitPath(files[i].found.moved ? files[i].found.path : files[i].stored, sep);
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  if (notes.overCapacity) ReportIndexWarning(p, reporter, IndexWarning::OverCapacity, ws.index.capacity);
  if (notes.truncated) ReportIndexWarning(p, reporter, IndexWarning::Truncated, ws.index.count);
  if (notes.damaged) ReportIndexWarning(p, reporter, IndexWarning::Damaged, ws.index.count);

  p.SetStatusText(kOperationPart, "携帯ﾌｧｲﾙ読込中");
  ShowFileStatus(ws, kMobilePart, "携帯", ws.state.mobileFilePath, files[0]);
  bool opened = true;
  const std::string mobilePath = OpenablePath(ws.state.mobileFilePath, sep);
  const bool mobileRead =
      pieces ? OpenMobileFileReader(ws, mobilePath, kLoadCaption, pieces->heldBytes, &pieces->reader, &opened)
             : ReloadMobileFile(ws, mobilePath, kLoadCaption, &opened);
  p.SetStatusText(kOperationPart, "");
  if (!mobileRead) {
    if (!opened) NoteOpenFailure(ws, files[0]);
    return IndexFileStatus::Failed;
  }
  if (!ReloadExtractionSettings(ws, files[1])) return IndexFileStatus::Failed;
  if (!ReloadDisplaySettings(ws, files[2])) return IndexFileStatus::Failed;
  return notes.truncated || notes.damaged ? IndexFileStatus::Partial : IndexFileStatus::Done;
}

}  // namespace tanavo

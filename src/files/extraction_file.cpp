#include "files/extraction_file.h"

#include <algorithm>

#include "extract/kta_file.h"
#include "state/workspace.h"
#include "text/bytes.h"
#include "text/path.h"

namespace tanavo {

namespace {

// The progress part shows the entry count right-aligned in this many columns.
constexpr std::size_t kProgressColumns = 4;

FileDialogSpec SettingsDialog(const char* title) {
  return FileKindDialog(title, "抽出設定ファイル(*.kta)", "*.kta");
}

}  // namespace

int ReadSettingsEntries(Workspace& ws, std::string_view bytes, SettingsReporter* warnings) {
  Platform& p = ws.platform;
  std::size_t inFile = (bytes.size() + kEntryBytes - 1) / kEntryBytes;
  int stored = static_cast<int>(std::min<std::size_t>(inFile, kTagEntries));
  p.SetStatusText(kOperationPart, "抽出設定処理中");
  for (int i = 0; i < stored; ++i) {
    DecodeEntry(bytes.substr(static_cast<std::size_t>(i) * kEntryBytes, kEntryBytes), ws.extraction.entries[i]);
    p.SetStatusText(kProgressPart, RightAligned(i + 1, kProgressColumns) + "件終了");
  }
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  if (inFile > static_cast<std::size_t>(kTagEntries)) {
    Report(p, warnings, SettingsWarning::TooManyEntries, static_cast<int64_t>(inFile), std::string_view());
  }
  return static_cast<int>(std::min<std::size_t>(inFile, 0x7FFFFFFF));
}

namespace {

FileLoad AsFileLoad(ReadStatus rs) {
  return rs == ReadStatus::Ok ? FileLoad::Loaded : rs == ReadStatus::TooLarge ? FileLoad::TooLarge : FileLoad::CannotOpen;
}

void TakeExtractionBytes(Workspace& ws, std::string_view bytes) {
  ResetSettings(ws.extraction);
  ReadSettingsEntries(ws, bytes);
}

}  // namespace

FileLoad ReadExtractionFile(Workspace& ws, const std::string& path) {
  std::string bytes;
  const FileLoad status = AsFileLoad(ws.files.ReadWholeFile(path, &bytes));
  if (status == FileLoad::Loaded) TakeExtractionBytes(ws, bytes);
  return status;
}

FileLoad LoadExtractionFile(Workspace& ws, const std::string& path) {
  Platform& p = ws.platform;
  std::string bytes;
  const ReadStatus rs = ws.files.ReadWholeFile(path, &bytes);
  if (ShowReadFailure(p, rs, "TextEditor")) return AsFileLoad(rs);
  ws.state.extractionFilePath = SplitPath(path, ws.files.PathSeparator());
  p.SetStatusText(kExtractionPart, "抽出: " + ShownFileName(ws.state.extractionFilePath));
  TakeExtractionBytes(ws, bytes);
  // The list on screen must keep showing the table it edits.
  if (ws.views) ws.views->ExtractionSettingsReplaced();
  return FileLoad::Loaded;
}

bool LoadExtractionSettings(Workspace& ws) {
  std::string path;
  if (!ws.platform.OpenFileDialog(SettingsDialog("抽出設定ファイルを開く"), &path)) return false;
  return LoadExtractionFile(ws, path) == FileLoad::Loaded;
}

void SaveExtractionSettings(Workspace& ws, SettingsReporter* warnings) {
  Platform& p = ws.platform;
  const ExtractionSettings& s = ws.extraction;
  int n = UsedCount(s);
  p.SetStatusText(kOperationPart, "保存準備中");
  std::string out;
  out.reserve(static_cast<std::size_t>(n) * kEntryBytes);
  std::string overlong;
  int overlongCount = 0;
  for (int i = 0; i < n; ++i) {
    p.SetStatusText(kProgressPart, std::to_string(i) + "/" + std::to_string(n - 1) + "件目");
    const TagDefinition& e = s.entries[i];
    out += EncodeEntry(e);
    for (const char* field : OverlongFields(e)) {
      if (++overlongCount <= kListedOverlongFields) {
        overlong += "\n" + std::to_string(i + 1) + "件目 " + ToTagNotation(e.name) + " の " + field;
      }
    }
  }
  if (overlongCount > 0) {
    Report(p, warnings, SettingsWarning::OverlongFields, int64_t{overlongCount}, std::string_view(overlong));
  }

  std::string path;
  if (!p.SaveFileDialog(SettingsDialog("抽出設定ファイルの保存"), &path)) return;
  if (ws.files.WriteFileReplacing(path, out) != WriteStatus::Ok) {
    ShowOpenFailure(p, "TextEditor");
    return;
  }
  ws.state.extractionFilePath = SplitPath(path, ws.files.PathSeparator());
  p.SetStatusText(kExtractionPart, "抽出 : " + ShownFileName(ws.state.extractionFilePath));
  p.SetStatusText(kOperationPart, "");
  p.SetStatusText(kProgressPart, "");
}

}  // namespace tanavo

#include "files/display_file.h"

#include "dispset/kdp_file.h"
#include "state/workspace.h"
#include "text/path.h"

namespace tanavo {

namespace {

FileDialogSpec DisplayFileDialog(const char* title) {
  return FileKindDialog(title, "表示設定ファイル(*.kdp)", "*.kdp");
}

void ShowDisplayFileName(Workspace& ws) {
  ws.platform.SetStatusText(kDisplayPart, "表示: " + ShownFileName(ws.state.displayFilePath));
}

}  // namespace

bool TakeDisplaySettingsFile(Workspace& ws, std::string_view bytes) {
  DisplaySettingsTexts texts;
  if (!ParseDisplaySettingsFile(bytes, &texts)) return false;
  ws.display.listLineTemplate.swap(texts.listLineTemplate);
  ws.display.layoutText.swap(texts.layoutText);
  return true;
}

FileLoad ReadDisplayFile(Workspace& ws, const std::string& path) {
  std::string bytes;
  const ReadStatus rs = ws.files.ReadWholeFile(path, &bytes);
  if (rs == ReadStatus::CannotOpen) return FileLoad::CannotOpen;
  if (rs == ReadStatus::TooLarge) return FileLoad::TooLarge;
  return TakeDisplaySettingsFile(ws, bytes) ? FileLoad::Loaded : FileLoad::NotThisKind;
}

FileLoad LoadDisplayFile(Workspace& ws, const std::string& path, SettingsReporter* warnings) {
  // Remembered before the file is read: a later index names the chosen file
  // even when reading it fails.
  ws.state.displayFilePath = SplitPath(path, ws.files.PathSeparator());

  std::string bytes;
  const ReadStatus rs = ws.files.ReadWholeFile(path, &bytes);
  if (ShowReadFailure(ws.platform, rs, "表示設定読込")) {
    return rs == ReadStatus::TooLarge ? FileLoad::TooLarge : FileLoad::CannotOpen;
  }
  ShowDisplayFileName(ws);
  ws.platform.SetStatusText(kOperationPart, "表示設定処理中");
  bool taken = TakeDisplaySettingsFile(ws, bytes);
  ws.platform.SetStatusText(kOperationPart, "");
  // Told after the status bar is cleared, so that no "processing" stays up
  // behind the box.
  if (!taken) Report(ws.platform, warnings, SettingsWarning::NotDisplaySettings, int64_t{0}, std::string_view());
  return taken ? FileLoad::Loaded : FileLoad::NotThisKind;
}

bool LoadDisplaySettings(Workspace& ws) {
  std::string path;
  if (!ws.platform.OpenFileDialog(DisplayFileDialog("表示設定ファイルを開く"), &path)) return false;
  return LoadDisplayFile(ws, path) == FileLoad::Loaded;
}

bool SaveDisplaySettings(Workspace& ws) {
  std::string path;
  if (!ws.platform.SaveFileDialog(DisplayFileDialog("表示設定ファイルの保存"), &path)) return false;
  ws.state.displayFilePath = SplitPath(path, ws.files.PathSeparator());
  ShowDisplayFileName(ws);

  // Taken over before writing, so they stay even when the write fails.
  if (ws.views) ws.views->TakeEditedDisplayTexts();
  std::string bytes = BuildDisplaySettingsFile(ws.display.listLineTemplate, ws.display.layoutText);
  if (ws.files.WriteFileReplacing(path, bytes) != WriteStatus::Ok) {
    ShowOpenFailure(ws.platform, "表示設定保存");
    return false;
  }
  return true;
}

}  // namespace tanavo

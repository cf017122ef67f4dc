#include "dispset/kdp_file.h"

#include "app/app.h"
#include "app/path.h"
#include "codec/codec.h"
#include "dispset/display_window.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kDisplayFileStatusPart = 4;
constexpr int kOperationStatusPart = 0;

FileDialogSpec DisplayFileDialog(const char* title) {
  return FileKindDialog(title, "表示設定ファイル(*.kdp)", "*.kdp");
}

void ShowDisplayFileName(App& app) {
  app.platform.SetStatusText(kDisplayFileStatusPart, "表示: " + ShownFileName(app.state.displayFilePath));
}

}  // namespace

bool ParseDisplaySettingsFile(std::string_view bytes, DisplaySettingsTexts* texts) {
  std::size_t p = bytes.find(kLineEnd);
  if (p == std::string_view::npos) return false;
  texts->listLineTemplate = RemoveByte(DecodeBase64(bytes.substr(0, p)), '\0');
  texts->layoutText = RemoveByte(DecodeBase64(bytes.substr(p + kLineEnd.size())), '\0');
  return true;
}

std::string BuildDisplaySettingsFile(std::string_view listLineTemplate, std::string_view layoutText) {
  std::string layout(layoutText);
  layout.push_back('\0');  // the second part is never empty, even for an empty layout
  std::string bytes = EncodeBase64(RemoveByte(listLineTemplate, '\0'));
  bytes += kLineEnd;
  bytes += EncodeBase64(layout);
  return bytes;
}

bool TakeDisplaySettingsFile(App& app, std::string_view bytes) {
  DisplaySettingsTexts texts;
  if (!ParseDisplaySettingsFile(bytes, &texts)) return false;
  app.display.listLineTemplate.swap(texts.listLineTemplate);
  app.display.layoutText.swap(texts.layoutText);
  return true;
}

void ShowNotDisplaySettingsFile(App& app) { ShowWarning(app.platform, "表示設定ファイルではありません!!"); }

bool LoadDisplaySettings(App& app) {
  std::string path;
  if (!app.platform.OpenFileDialog(DisplayFileDialog("表示設定ファイルを開く"), &path)) return false;
  // Remembered before the file is read: a later index names the chosen file
  // even when reading it fails.
  app.state.displayFilePath = SplitPath(path, app.platform.PathSeparator());

  std::string bytes;
  ReadStatus rs = app.platform.ReadWholeFile(path, &bytes);
  if (rs == ReadStatus::CannotOpen) {
    ShowOpenFailure(app.platform, "表示設定読込");
    return false;
  }
  if (rs == ReadStatus::TooLarge) {
    ShowTooLarge(app.platform, "表示設定読込");
    return false;
  }
  ShowDisplayFileName(app);
  app.platform.SetStatusText(kOperationStatusPart, "表示設定処理中");
  bool taken = TakeDisplaySettingsFile(app, bytes);
  app.platform.SetStatusText(kOperationStatusPart, "");
  // Told after the status bar is cleared, so that no "processing" stays up
  // behind the box.
  if (!taken) ShowNotDisplaySettingsFile(app);
  return taken;
}

void SaveDisplaySettings(App& app) {
  std::string path;
  if (!app.platform.SaveFileDialog(DisplayFileDialog("表示設定ファイルの保存"), &path)) return;
  app.state.displayFilePath = SplitPath(path, app.platform.PathSeparator());
  ShowDisplayFileName(app);

  Window* w = app.displayWindow ? app.displayWindow->window : nullptr;
  if (w) {
    // Taken over before writing, so they stay even when the write fails.
    app.display.listLineTemplate = w->Text(kDispTemplateEdit);
    app.display.layoutText = w->Text(kDispLayoutEdit);
  }
  std::string bytes = BuildDisplaySettingsFile(app.display.listLineTemplate, app.display.layoutText);
  if (app.platform.WriteFileReplacing(path, bytes) != WriteStatus::Ok) {
    ShowOpenFailure(app.platform, "表示設定保存");
    return;
  }
  if (w) w->FocusWindow();
}

}  // namespace tanavo

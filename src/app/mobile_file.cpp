#include "app/mobile_file.h"

#include "app/app.h"
#include "app/main_window.h"
#include "app/path.h"

namespace tanavo {

void OpenMobileFile(App& app) {
  FileDialogSpec decl;
  decl.title = "携帯ファイルを開く";
  decl.filters = {{"すべてのファイル(*.*)", "*"}};
  std::string path;
  if (!app.platform.OpenFileDialog(decl, &path)) return;
  LoadMobileFile(app, path);
}

bool LoadMobileFile(App& app, const std::string& path) {
  std::string bytes;
  ReadStatus rs = app.platform.ReadWholeFile(path, &bytes);
  if (rs == ReadStatus::CannotOpen) {
    ShowOpenFailure(app.platform, "TextEditor");
    return false;
  }
  if (rs == ReadStatus::TooLarge || bytes.size() > kMaxFileBytes) {
    ShowTooLarge(app.platform, "TextEditor");
    return false;
  }
  app.state.mobileFilePath = SplitPath(path, app.platform.PathSeparator());
  app.platform.SetStatusText(2, "携帯: " + ShownFileName(app.state.mobileFilePath));
  app.state.mobileFile.swap(bytes);  // the one buffer; the scanners read it in place
  app.stack.Reset();
  Window* w = app.mainWindow ? app.mainWindow->window : nullptr;
  if (w) {
    w->Show(kRawTextView, true);
    w->SetTextLimit(kRawTextView, app.state.mobileFile.size() + 1000);
    w->SetText(kRawTextView, app.state.mobileFile);
    w->Focus(kRawTextView);
  }
  return true;
}

}  // namespace tanavo

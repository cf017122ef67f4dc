#include "app/mobile_file.h"

#include "app/app.h"
#include "app/main_window.h"
#include "app/path.h"

namespace tanavo {

namespace {

// Reads a mobile file whole; a failure is told in a box with the caption.
bool ReadMobileBytes(App& app, const std::string& path, const std::string& caption, std::string* bytes,
                     bool* opened = nullptr) {
  ReadStatus rs = app.platform.ReadWholeFile(path, bytes);
  if (opened) *opened = rs != ReadStatus::CannotOpen;
  if (rs == ReadStatus::CannotOpen) {
    ShowOpenFailure(app.platform, caption);
    return false;
  }
  if (rs == ReadStatus::TooLarge || bytes->size() > kMaxFileBytes) {
    ShowTooLarge(app.platform, caption);
    return false;
  }
  return true;
}

// The read bytes become the mobile file, shown in the raw text view. The view
// shows the mobile file's own bytes: the one buffer, which the scanners also
// read in place.
void TakeMobileBytes(App& app, std::string& bytes) {
  app.state.mobileFile.swap(bytes);
  app.stack.Reset();
  Window* w = app.mainWindow ? app.mainWindow->window : nullptr;
  if (w) {
    w->Show(kRawTextView, true);
    w->SetTextLimit(kRawTextView, app.state.mobileFile.size() + 1000);
    w->ShowBytes(kRawTextView, app.state.mobileFile);
  }
  // The old file goes only once the view no longer shows it.
  std::string().swap(bytes);
  if (w) w->Focus(kRawTextView);
}

}  // namespace

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
  if (!ReadMobileBytes(app, path, "TextEditor", &bytes)) return false;
  app.state.mobileFilePath = SplitPath(path, app.platform.PathSeparator());
  app.platform.SetStatusText(2, "携帯: " + ShownFileName(app.state.mobileFilePath));
  TakeMobileBytes(app, bytes);
  return true;
}

bool ReloadMobileFile(App& app, const std::string& path, const std::string& failureCaption, bool* opened) {
  std::string bytes;
  if (!ReadMobileBytes(app, path, failureCaption, &bytes, opened)) return false;
  TakeMobileBytes(app, bytes);
  return true;
}

}  // namespace tanavo

#include "platform/console/console_platform.h"

#include "platform/file_name_key.h"
#include "platform/files.h"

namespace tanavo {

std::string ConsoleBoxLine(const std::string& caption, const std::string& text) {
  std::string line = caption + ": ";
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    line.push_back(c == '\r' || c == '\n' ? ' ' : c);
  }
  return line;
}

Window* ConsolePlatform::CreateAppWindow(const WindowSpec& decl, const std::vector<ControlSpec>& controls,
                                         WindowEvents* events) {
  windows_.push_back(std::make_unique<MemoryWindow>(decl, controls, events));
  MemoryWindow* w = windows_.back().get();
  w->SetFocusSink(&windows_);
  w->DropReadOnlyTexts();
  if (decl.menuBar) main_ = w;
  if (events) events->OnCreate(*w);
  return w;
}

MemoryWindow* ConsolePlatform::WindowOf(const std::string& className) {
  for (auto& w : windows_) {
    if (className == w->Declaration().className) return w.get();
  }
  return nullptr;
}

BoxAnswer ConsolePlatform::MessageBox(BoxOwner, const std::string& text, const std::string& caption, BoxIcon,
                                      BoxButtons buttons) {
  *err_ += ConsoleBoxLine(caption, text) + "\n";
  ++boxesShown;
  return buttons == BoxButtons::YesNo ? BoxAnswer::Yes : BoxAnswer::Ok;
}

bool ConsolePlatform::OpenFileDialog(const FileDialogSpec&, std::string* path) {
  if (dialogPaths.empty()) return false;
  *path = MakeAbsolute(dialogPaths.front());
  dialogPaths.pop_front();
  return true;
}

bool ConsolePlatform::SaveFileDialog(const FileDialogSpec& decl, std::string* path) {
  return OpenFileDialog(decl, path);
}

void ConsolePlatform::OpenWithShell(const std::string&) {}  // nothing to open without a desktop

ReadStatus ConsolePlatform::ReadWholeFile(const std::string& path, std::string* bytes) {
  return ReadRealFile(path, bytes);
}
WriteStatus ConsolePlatform::WriteFileReplacing(const std::string& path, const std::string& bytes) {
  return WriteRealFileReplacing(path, bytes);
}
bool ConsolePlatform::FileExists(const std::string& path) { return RealFileExists(path); }
bool ConsolePlatform::IsSpecialFile(const std::string& path) { return RealIsSpecialFile(path); }
bool ConsolePlatform::ReachesNetwork(const std::string& path) { return RealReachesNetwork(path); }
void ConsolePlatform::Note(const std::string& line) {
  *err_ += ConsoleBoxLine("", line).substr(2) + "\n";  // one line, as a box's text is written
}
bool ConsolePlatform::CreateNewEmptyFile(const std::string& path) { return CreateRealNewEmptyFile(path); }
bool ConsolePlatform::CreateFolder(const std::string& path) { return CreateRealFolder(path); }

std::string ConsolePlatform::FileNameKey(const std::string& name) const { return RealFileNameKey(name); }
std::string ConsolePlatform::LastErrorText() { return RealLastErrorText(); }
std::string ConsolePlatform::CurrentDirectory() { return RealCurrentDirectory(); }
char ConsolePlatform::PathSeparator() const { return RealPathSeparator(); }

}  // namespace tanavo

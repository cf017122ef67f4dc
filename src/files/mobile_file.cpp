#include "files/mobile_file.h"

#include "state/workspace.h"
#include "text/path.h"

namespace tanavo {

namespace {

// Reads a mobile file whole; a failure is told in a box with the caption.
bool ReadMobileBytes(Workspace& ws, const std::string& path, const std::string& caption, std::string* bytes,
                     bool* opened = nullptr) {
  ReadStatus rs = ws.files.ReadWholeFile(path, bytes);
  if (opened) *opened = rs != ReadStatus::CannotOpen;
  if (rs == ReadStatus::Ok && bytes->size() > kMaxFileBytes) rs = ReadStatus::TooLarge;
  return !ShowReadFailure(ws.platform, rs, caption);
}

// The read bytes become the mobile file. Views show the mobile file's own
// bytes, the one buffer the scanners also read in place: the old file goes
// only once they no longer show it.
void TakeMobileBytes(Workspace& ws, std::string& bytes) {
  ws.state.mobileFile.swap(bytes);
  ws.stack.Reset();
  if (ws.views) ws.views->MobileFileReplaced();
  std::string().swap(bytes);
}

}  // namespace

void OpenMobileFile(Workspace& ws) {
  FileDialogSpec decl;
  decl.title = "携帯ファイルを開く";
  decl.filters = {{"すべてのファイル(*.*)", "*"}};
  std::string path;
  if (!ws.platform.OpenFileDialog(decl, &path)) return;
  LoadMobileFile(ws, path);
}

bool LoadMobileFile(Workspace& ws, const std::string& path) {
  std::string bytes;
  if (!ReadMobileBytes(ws, path, "TextEditor", &bytes)) return false;
  ws.state.mobileFilePath = SplitPath(path, ws.files.PathSeparator());
  ws.platform.SetStatusText(2, "携帯: " + ShownFileName(ws.state.mobileFilePath));
  TakeMobileBytes(ws, bytes);
  return true;
}

bool ReloadMobileFile(Workspace& ws, const std::string& path, const std::string& failureCaption, bool* opened) {
  // The index read before this belongs to the new file, so the old one is
  // let go before the new one is read: a file of hundreds of MiB is never
  // held twice. Only a file that is not there at all keeps the old one.
  if (!ws.state.mobileFile.empty() && ws.files.FileExists(path)) {
    std::string none;
    TakeMobileBytes(ws, none);
  }
  std::string bytes;
  if (!ReadMobileBytes(ws, path, failureCaption, &bytes, opened)) return false;
  TakeMobileBytes(ws, bytes);
  return true;
}

bool OpenMobileFileReader(Workspace& ws, const std::string& path, const std::string& failureCaption,
                          std::uint64_t heldBytes, std::unique_ptr<FileReader>* reader, bool* opened) {
  std::string none;  // a file held before is let go, as a reload does
  TakeMobileBytes(ws, none);
  ReadStatus rs = ws.files.OpenFileReader(path, reader);
  if (rs == ReadStatus::Ok && (*reader)->Size() <= heldBytes) {
    reader->reset();
    return ReloadMobileFile(ws, path, failureCaption, opened);
  }
  if (opened) *opened = rs != ReadStatus::CannotOpen;
  if (rs == ReadStatus::Ok && (*reader)->Size() > kMaxFileBytes) rs = ReadStatus::TooLarge;
  if (rs != ReadStatus::Ok) reader->reset();
  return !ShowReadFailure(ws.platform, rs, failureCaption);
}

}  // namespace tanavo

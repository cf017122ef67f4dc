#include "app/raw_view.h"

#include <algorithm>

#include "app/app.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "platform/charset.h"
#include "text/path.h"

namespace tanavo {

namespace {

constexpr std::string_view kLineKey = "Utf8View=";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// The room a text view keeps past its text, as for the mobile file itself.
constexpr std::size_t kViewRoom = 1000;

Window* RawWindow(App& app) { return app.mainWindow ? app.mainWindow->window : nullptr; }

bool IsKey(std::string_view key) {
  if (key.empty() || key.size() > kMaxUtf8ViewKeyBytes) return false;
  return std::none_of(key.begin(), key.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string ListPath(const App& app) {
  return app.state.programFolder + app.files.PathSeparator() + kUtf8ViewListFile;
}

// The loaded file's key; empty when no file is loaded.
std::string LoadedFileKey(const App& app) {
  const PathParts& path = app.state.mobileFilePath;
  if (path.baseName.empty() && path.extension.empty()) return {};
  return app.files.FileNameKey(JoinPath(app.state.mobileFilePath, app.files.PathSeparator()));
}

// Read once a run; anything but a small regular file is no list of ours.
std::vector<std::string>& Utf8Files(App& app) {
  RawViewState& v = app.rawView;
  if (v.listRead) return v.utf8Files;
  v.listRead = true;
  const std::string path = ListPath(app);
  std::string text;
  if (!app.files.IsSpecialFile(path) && app.files.ReadWholeFile(path, &text) == ReadStatus::Ok) {
    v.utf8Files = ReadUtf8ViewList(text);
  }
  return v.utf8Files;
}

// Text as the view shows it under the choice: the bytes, or UTF-8 converted
// to Shift_JIS with what it cannot hold as 〓. False when this system cannot
// convert UTF-8.
bool ConvertedForView(const App& app, std::string_view bytes, std::string* out) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
  CharsetResult r;
  if (!app.platform.Charsets().ToShiftJis("UTF-8", bytes, &r)) return false;
  *out = std::move(r.text);
  return true;
}

void WarnCannotConvert(App& app) {
  app.platform.MessageBox(BoxOwner::Main, "UTF-8を変換できません。生データはそのまま表示します!!", "注意",
                          BoxIcon::Warning, BoxButtons::Ok);
}

// Shows what the view holds (the file or the record) under the choice; false
// when UTF-8 was chosen and could not be converted (the bytes are shown).
bool ShowAgain(App& app) {
  Window* w = RawWindow(app);
  RawViewState& v = app.rawView;
  if (!w) return true;
  // The view lets go of the converted copy before it is replaced.
  w->SetText(kRawTextView, "");
  v.converted.clear();
  v.converted.shrink_to_fit();
  if (v.showsRecord) {
    std::string shown;
    const bool converted = v.utf8 && ConvertedForView(app, v.record, &shown);
    if (converted) {
      w->SetText(kRawTextView, shown);
    } else {
      w->ShowBytes(kRawTextView, v.record);  // held here, not copied again
    }
    return converted || !v.utf8;
  }
  const std::string& file = app.state.mobileFile;
  const bool converted = v.utf8 && ConvertedForView(app, file, &v.converted);
  if (converted) {
    w->SetTextLimit(kRawTextView, v.converted.size() + kViewRoom);
    w->ShowBytes(kRawTextView, v.converted);
  } else {
    w->SetTextLimit(kRawTextView, file.size() + kViewRoom);
    w->ShowBytes(kRawTextView, file);  // the mobile file's own bytes, the one buffer
  }
  return converted || !v.utf8;
}

}  // namespace

std::vector<std::string> ReadUtf8ViewList(std::string_view text) {
  std::vector<std::string> keys;
  if (text.size() > kMaxUtf8ViewListBytes) return keys;
  while (!text.empty() && keys.size() < kMaxUtf8ViewFiles) {
    const std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, kLineKey.size()) != kLineKey) continue;
    const std::string_view key = line.substr(kLineKey.size());
    if (IsKey(key) && std::find(keys.begin(), keys.end(), key) == keys.end()) keys.emplace_back(key);
  }
  return keys;
}

std::string Utf8ViewListText(const std::vector<std::string>& keys) {
  std::string text;
  for (const std::string& k : keys) text += std::string(kLineKey) + k + "\r\n";
  return text;
}

std::vector<std::string> WithUtf8ViewFile(std::vector<std::string> keys, const std::string& key, bool on) {
  keys.erase(std::remove(keys.begin(), keys.end(), key), keys.end());
  if (on && IsKey(key)) keys.insert(keys.begin(), key);
  if (keys.size() > kMaxUtf8ViewFiles) keys.resize(kMaxUtf8ViewFiles);
  return keys;
}

void ShowRawFile(App& app) {
  RawViewState& v = app.rawView;
  const std::string key = LoadedFileKey(app);
  const std::vector<std::string>& files = Utf8Files(app);
  v.utf8 = !key.empty() && std::find(files.begin(), files.end(), key) != files.end();
  app.platform.SetMenuChecked(kCmdRawUtf8, v.utf8);
  Window* w = RawWindow(app);
  if (w) w->SetText(kRawTextView, "");  // the record it may show goes next
  v.showsRecord = false;
  v.record.clear();
  v.record.shrink_to_fit();
  if (!w) return;
  w->Show(kRawTextView, true);
  const bool shown = ShowAgain(app);
  w->Focus(kRawTextView);
  if (!shown) WarnCannotConvert(app);
}

void ShowRawRecord(App& app, std::string_view record) {
  RawViewState& v = app.rawView;
  // The view may show the record before: it lets go of it first.
  if (Window* w = RawWindow(app)) w->SetText(kRawTextView, "");
  v.showsRecord = true;
  v.record.assign(record);
  (void)ShowAgain(app);  // a failure was told when the file was loaded
}

void ToggleRawViewUtf8(App& app) {
  const std::string key = LoadedFileKey(app);
  if (key.empty() || app.state.mobileFile.empty()) {
    ShowWarning(app.platform, "携帯データを読み込んでください!!");
    return;
  }
  RawViewState& v = app.rawView;
  v.utf8 = !v.utf8;
  app.platform.SetMenuChecked(kCmdRawUtf8, v.utf8);
  if (!ShowAgain(app)) WarnCannotConvert(app);

  std::vector<std::string>& files = Utf8Files(app);
  files = WithUtf8ViewFile(files, key, v.utf8);
  if (app.files.WriteFileReplacing(ListPath(app), Utf8ViewListText(files)) == WriteStatus::Ok) return;
  app.platform.MessageBox(BoxOwner::Main, "設定ファイル(" + std::string(kUtf8ViewListFile) +
                                              ")に書き込めません。UTF-8表示の選択は今回の実行中だけ有効です!!",
                          "注意", BoxIcon::Warning, BoxButtons::Ok);
}

}  // namespace tanavo

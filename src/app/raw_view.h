// The raw text view of the main window: the mobile file, or the record the
// data display shows, as its bytes are (read as Shift_JIS); or, for a file
// the examiner says is UTF-8 (表示 › 生データをUTF-8として表示), a copy
// converted to Shift_JIS so that it reads. Only the view changes: the mobile
// file in memory, which tags are matched against, stays as it was read, and
// the view's selection and copy work on the text it shows.
// The choice is remembered per file, by the file's name key, in a small list
// in the program folder (beside Tanavo.cfg, for the same reasons: no trace
// outside the program's folder, visible and deletable).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tanavo {

struct App;

// The list's file in the program folder: one line "Utf8View=KEY" per file.
inline constexpr char kUtf8ViewListFile[] = "TanavoUtf8.cfg";
constexpr std::size_t kMaxUtf8ViewFiles = 100;       // the longest unused is dropped
constexpr std::size_t kMaxUtf8ViewKeyBytes = 1024;   // a longer key is not remembered
constexpr std::size_t kMaxUtf8ViewListBytes = kMaxUtf8ViewFiles * (kMaxUtf8ViewKeyBytes + 12);

// What the raw view shows and how; held by the App.
struct RawViewState {
  bool utf8 = false;          // the loaded file is shown as UTF-8
  bool showsRecord = false;   // the view shows a record's text, not the whole file
  std::string record;         // that record's bytes, to show again when the choice changes
  std::string converted;      // the whole file converted, shown in place
  bool listRead = false;      // the list below was read from the program folder
  std::vector<std::string> utf8Files;  // name keys, the last chosen first
};

// The list's keys in a file's text: lines "Utf8View=KEY" (CR LF or LF); a
// line that is anything else, an empty or overlong key, or one holding a
// control byte, is skipped; repeated keys count once; at most
// kMaxUtf8ViewFiles. A text over kMaxUtf8ViewListBytes is no list.
std::vector<std::string> ReadUtf8ViewList(std::string_view text);
std::string Utf8ViewListText(const std::vector<std::string>& keys);
// The keys with key first (on) or without it (off), cut to kMaxUtf8ViewFiles.
std::vector<std::string> WithUtf8ViewFile(std::vector<std::string> keys, const std::string& key, bool on);

// A mobile file was loaded: the remembered choice for it, and the whole file.
void ShowRawFile(App& app);
// The data display found a record: its text, tags included.
void ShowRawRecord(App& app, std::string_view record);
// The menu command: the other choice for the loaded file, shown and remembered.
void ToggleRawViewUtf8(App& app);

}  // namespace tanavo

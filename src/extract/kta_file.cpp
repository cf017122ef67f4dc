#include "extract/kta_file.h"

#include <algorithm>
#include <utility>

#include "app/app.h"
#include "app/path.h"
#include "text/bytes.h"
#include "extract/extraction_window.h"

namespace tanavo {

namespace {

struct FileField {
  const std::string& (*text)(const TagDefinition&);
  void (*set)(TagDefinition&, std::string);
  const char* shownName;  // how the save warning names the field
};

const std::string& TextOf(const std::string& field) { return field; }
// The kind and the flags are written back from the text they were read as.
template <typename V>
const std::string& TextOf(const V& field) {
  return field.Text();
}

template <auto Member>
FileField Field(const char* shownName) {
  return {[](const TagDefinition& e) -> const std::string& { return TextOf(e.*Member); },
          [](TagDefinition& e, std::string text) { e.*Member = std::move(text); }, shownName};
}

// The order of the fields inside an entry is the file's own, not the
// declaration order.
const FileField kFileOrder[kFieldsPerEntry] = {
    Field<&TagDefinition::japaneseCodeEndTag>("日本語コード（右）"),
    Field<&TagDefinition::japaneseCodeStartTag>("日本語コード（左）"),
    Field<&TagDefinition::nextLineHead>("継続行条件 次行先頭"),
    Field<&TagDefinition::lineEnd>("継続行条件 行終端"),
    Field<&TagDefinition::contentEndTag>("コンテンツ（右）"),
    Field<&TagDefinition::contentStartTag>("コンテンツ（左）"),
    Field<&TagDefinition::encodingEndTag>("エンコード方法（右）"),
    Field<&TagDefinition::encodingStartTag>("エンコード方法（左）"),
    Field<&TagDefinition::searchAfterPrevious>("前タグの次から検索"),
    Field<&TagDefinition::applyToMultiple>("複数のデータに適応"),
    Field<&TagDefinition::name>("データ名称"),
    Field<&TagDefinition::rangeEndTag>("データ範囲識別タグ（↓）"),
    Field<&TagDefinition::rangeStartTag>("データ範囲識別タグ（↑）"),
    Field<&TagDefinition::kind>("種別"),
    Field<&TagDefinition::dataTypeEndTag>("データタイプ（右）"),
    Field<&TagDefinition::dataTypeStartTag>("データタイプ（左）"),
};

// The progress part shows the entry count right-aligned in this many columns.
constexpr std::size_t kProgressColumns = 4;
// The save warning lists this many fields and counts the rest.
constexpr int kListedOverlongFields = 10;

FileDialogSpec SettingsDialog(const char* title) {
  return FileKindDialog(title, "抽出設定ファイル(*.kta)", "*.kta");
}

// Spaces stand for "[SP]" in the file; a field holds 50 bytes.
std::string ExpandSpaces(std::string_view value) { return ReplaceAll(value, " ", "[SP]"); }

}  // namespace

std::string EncodeFileField(std::string_view value) {
  std::string t = ExpandSpaces(value);
  t.resize(kFieldBytes, ' ');
  return t;
}

std::string DecodeFileField(std::string_view field) {
  return ReplaceAll(RemoveByte(field.substr(0, kFieldBytes), ' '), "[SP]", " ");
}

bool ExceedsFileField(std::string_view value) { return ExpandSpaces(value).size() > kFieldBytes; }

std::string EncodeEntry(const TagDefinition& e) {
  std::string out;
  out.reserve(kEntryBytes);
  for (const FileField& f : kFileOrder) out += EncodeFileField(f.text(e));
  return out;
}

void DecodeEntry(std::string_view bytes, TagDefinition& e) {
  for (int i = 0; i < kFieldsPerEntry; ++i) {
    std::size_t at = static_cast<std::size_t>(i) * kFieldBytes;
    kFileOrder[i].set(e, at < bytes.size() ? DecodeFileField(bytes.substr(at, kFieldBytes)) : std::string());
  }
}

int ReadSettingsEntries(App& app, std::string_view bytes) {
  Platform& p = app.platform;
  std::size_t inFile = (bytes.size() + kEntryBytes - 1) / kEntryBytes;
  int stored = static_cast<int>(std::min<std::size_t>(inFile, kTagEntries));
  p.SetStatusText(0, "抽出設定処理中");
  for (int i = 0; i < stored; ++i) {
    DecodeEntry(bytes.substr(static_cast<std::size_t>(i) * kEntryBytes, kEntryBytes), app.extraction.entries[i]);
    p.SetStatusText(1, RightAligned(i + 1, kProgressColumns) + "件終了");
  }
  p.SetStatusText(1, "");
  p.SetStatusText(0, "");
  if (inFile > static_cast<std::size_t>(kTagEntries)) {
    ShowWarning(p, "抽出設定ファイルのタグ定義が" + std::to_string(kTagEntries) + "件を超えています。" +
                       std::to_string(kTagEntries + 1) + "件目以降は読み込みませんでした!!");
  }
  return static_cast<int>(std::min<std::size_t>(inFile, 0x7FFFFFFF));
}

bool LoadExtractionSettings(App& app) {
  Platform& p = app.platform;
  std::string path;
  if (!p.OpenFileDialog(SettingsDialog("抽出設定ファイルを開く"), &path)) return false;
  std::string bytes;
  ReadStatus rs = p.ReadWholeFile(path, &bytes);
  if (rs == ReadStatus::CannotOpen) {
    ShowOpenFailure(p, "TextEditor");
    return false;
  }
  if (rs == ReadStatus::TooLarge) {
    ShowTooLarge(p, "TextEditor");
    return false;
  }
  ResetSettings(app.extraction);
  app.state.extractionFilePath = SplitPath(path, p.PathSeparator());
  p.SetStatusText(3, "抽出: " + ShownFileName(app.state.extractionFilePath));
  ReadSettingsEntries(app, bytes);
  // The list on screen must keep showing the table it edits.
  if (app.extractionWindow) app.extractionWindow->SettingsReplaced();
  return true;
}

void SaveExtractionSettings(App& app) {
  Platform& p = app.platform;
  const ExtractionSettings& s = app.extraction;
  int n = UsedCount(s);
  p.SetStatusText(0, "保存準備中");
  std::string out;
  out.reserve(static_cast<std::size_t>(n) * kEntryBytes);
  std::string overlong;
  int overlongCount = 0;
  for (int i = 0; i < n; ++i) {
    p.SetStatusText(1, std::to_string(i) + "/" + std::to_string(n - 1) + "件目");
    const TagDefinition& e = s.entries[i];
    out += EncodeEntry(e);
    for (const FileField& f : kFileOrder) {
      if (!ExceedsFileField(f.text(e))) continue;
      if (++overlongCount <= kListedOverlongFields) {
        overlong += "\n" + std::to_string(i + 1) + "件目 " + ToTagNotation(e.name) + " の " + f.shownName;
      }
    }
  }
  if (overlongCount > 0) {
    if (overlongCount > kListedOverlongFields) {
      overlong += "\nほか" + std::to_string(overlongCount - kListedOverlongFields) + "件";
    }
    ShowWarning(p, "次の設定は" + std::to_string(kFieldBytes) + "バイトを超えるため、" +
                       std::to_string(kFieldBytes + 1) + "バイト目以降は保存されません!!" + overlong);
  }

  std::string path;
  if (!p.SaveFileDialog(SettingsDialog("抽出設定ファイルの保存"), &path)) return;
  if (p.WriteFileReplacing(path, out) != WriteStatus::Ok) {
    ShowOpenFailure(p, "TextEditor");
    return;
  }
  app.state.extractionFilePath = SplitPath(path, p.PathSeparator());
  p.SetStatusText(3, "抽出 : " + ShownFileName(app.state.extractionFilePath));
  p.SetStatusText(0, "");
  p.SetStatusText(1, "");
}

}  // namespace tanavo

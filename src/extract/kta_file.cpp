#include "extract/kta_file.h"

#include <algorithm>
#include <utility>

#include "text/bytes.h"

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

std::vector<const char*> OverlongFields(const TagDefinition& e) {
  std::vector<const char*> names;
  for (const FileField& f : kFileOrder) {
    if (ExceedsFileField(f.text(e))) names.push_back(f.shownName);
  }
  return names;
}

}  // namespace tanavo

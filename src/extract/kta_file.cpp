#include "extract/kta_file.h"

#include <algorithm>

#include "text/bytes.h"

namespace tanavo {

namespace {

struct FileField {
  std::string TagDefinition::*member;
  const char* shownName;  // how the save warning names the field
};

// The order of the fields inside an entry is the file's own, not the
// declaration order.
const FileField kFileOrder[kFieldsPerEntry] = {
    {&TagDefinition::japaneseCodeEndTag, "日本語コード（右）"},
    {&TagDefinition::japaneseCodeStartTag, "日本語コード（左）"},
    {&TagDefinition::nextLineHead, "継続行条件 次行先頭"},
    {&TagDefinition::lineEnd, "継続行条件 行終端"},
    {&TagDefinition::contentEndTag, "コンテンツ（右）"},
    {&TagDefinition::contentStartTag, "コンテンツ（左）"},
    {&TagDefinition::encodingEndTag, "エンコード方法（右）"},
    {&TagDefinition::encodingStartTag, "エンコード方法（左）"},
    {&TagDefinition::searchAfterPrevious, "前タグの次から検索"},
    {&TagDefinition::applyToMultiple, "複数のデータに適応"},
    {&TagDefinition::name, "データ名称"},
    {&TagDefinition::rangeEndTag, "データ範囲識別タグ（↓）"},
    {&TagDefinition::rangeStartTag, "データ範囲識別タグ（↑）"},
    {&TagDefinition::kind, "種別"},
    {&TagDefinition::dataTypeEndTag, "データタイプ（右）"},
    {&TagDefinition::dataTypeStartTag, "データタイプ（左）"},
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
  for (const FileField& f : kFileOrder) out += EncodeFileField(e.*f.member);
  return out;
}

void DecodeEntry(std::string_view bytes, TagDefinition& e) {
  for (int i = 0; i < kFieldsPerEntry; ++i) {
    std::size_t at = static_cast<std::size_t>(i) * kFieldBytes;
    e.*kFileOrder[i].member = at < bytes.size() ? DecodeFileField(bytes.substr(at, kFieldBytes)) : std::string();
  }
}

std::vector<const char*> OverlongFields(const TagDefinition& e) {
  std::vector<const char*> names;
  for (const FileField& f : kFileOrder) {
    if (ExceedsFileField(e.*f.member)) names.push_back(f.shownName);
  }
  return names;
}

}  // namespace tanavo

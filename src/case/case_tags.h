// Tags: a label and a note on a record of the case, each saved at once in a
// transaction of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "case/case_file.h"

namespace tanavo {

constexpr std::size_t kMaxTagLabelBytes = 200;
constexpr std::size_t kMaxTagNoteBytes = 10000;

enum class TagStatus { Saved, NoRecord, TooLong, Busy, Failed };

struct CaseTag {
  std::int32_t record = 0;
  std::int64_t offset = 0;
  std::string listLine;  // Shift_JIS
  std::string label;     // UTF-8
  std::string note;      // UTF-8
  std::string made;      // UTC, ISO 8601
};

TagStatus AddTag(CaseFile& c, std::int32_t record, const std::string& labelUtf8, const std::string& noteUtf8);
// Every tag, by record and then as made; false when they cannot be read.
bool ListTags(CaseFile& c, std::vector<CaseTag>* tags);

}  // namespace tanavo

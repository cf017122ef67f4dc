#include "display/record_charset.h"

#include <cstddef>
#include <string>

#include "state/workspace.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

constexpr std::string_view kBeginCard = "begin:vcard";
constexpr std::string_view kVersion = "version:";
constexpr std::string_view kVersion4 = "4.0";

// The line at pos, without its line end, its letters in lower case.
std::string LoweredLineAt(std::string_view text, std::size_t pos) {
  std::size_t end = text.find_first_of("\r\n", pos);
  if (end == std::string_view::npos) end = text.size();
  return AsciiLowered(text.substr(pos, end - pos));
}

// Whether the line at pos starts with the lower-case word.
bool LineStartsWith(std::string_view text, std::size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  return AsciiLowered(text.substr(pos, word.size())) == word;
}

}  // namespace

ItemCharset RecordCharset(std::string_view record) {
  bool inCard = false;
  // One pass over the line starts: linear in the record whatever it holds.
  for (std::size_t pos = 0; pos < record.size();) {
    if (!inCard) {
      inCard = LineStartsWith(record, pos, kBeginCard);
    } else if (LineStartsWith(record, pos, kVersion)) {
      const std::string line = LoweredLineAt(record, pos);
      return TrimSpaceAndLineEnds(std::string_view(line).substr(kVersion.size())) == kVersion4 ? ItemCharset::Utf8
                                                                                               : ItemCharset::Tags;
    }
    const std::size_t eol = record.find('\n', pos);
    if (eol == std::string_view::npos) break;
    pos = eol + 1;
  }
  return ItemCharset::Tags;
}

void NoteRecordCharset(Workspace& ws, std::string_view record) { ws.recordCharset = RecordCharset(record); }

}  // namespace tanavo

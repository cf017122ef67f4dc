#include "mime/full_choice.h"

namespace tanavo {

bool IsFullMimeEntry(const TagDefinition& entry) {
  return entry.kind == EntryKind::Data && entry.japaneseCodeStartTag == kFullMimeTag && entry.japaneseCodeEndTag.empty();
}

void SetFullMimeEntry(TagDefinition& entry, bool on) {
  if (on) {
    entry.japaneseCodeStartTag = std::string(kFullMimeTag);
    entry.japaneseCodeEndTag.clear();
  } else if (entry.japaneseCodeStartTag == kFullMimeTag) {
    entry.japaneseCodeStartTag.clear();
    entry.japaneseCodeEndTag.clear();
  }
}

std::string_view FullMimeItemMail(const TagDefinition& entry, std::string_view item) {
  if (!entry.rangeStartTag.empty() && item.substr(0, entry.rangeStartTag.size()) == entry.rangeStartTag) {
    item.remove_prefix(entry.rangeStartTag.size());
  }
  if (!entry.rangeEndTag.empty() && item.size() >= entry.rangeEndTag.size() &&
      item.substr(item.size() - entry.rangeEndTag.size()) == entry.rangeEndTag) {
    item.remove_suffix(entry.rangeEndTag.size());
  }
  return item;
}

const std::string& FullMailField(const FullMail& mail, std::string_view entryName) {
  if (entryName == "Date") return mail.date;
  if (entryName == "From") return mail.from;
  if (entryName == "To") return mail.to;
  if (entryName == "Subject") return mail.subject;
  return mail.body;
}

bool ShowsMailBody(std::string_view entryName) {
  return entryName != "Date" && entryName != "From" && entryName != "To" && entryName != "Subject";
}

}  // namespace tanavo

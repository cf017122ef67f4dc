#include "extract/item_charset.h"

namespace tanavo {

namespace {

constexpr ItemCharset kCharsets[kItemCharsets] = {ItemCharset::Tags, ItemCharset::Utf8, ItemCharset::EucJp,
                                                  ItemCharset::Utf16};

}  // namespace

const char* ItemCharsetName(ItemCharset charset) {
  switch (charset) {
    case ItemCharset::Utf8: return "UTF-8";
    case ItemCharset::EucJp: return "EUC-JP";
    case ItemCharset::Utf16: return "UTF-16";
    case ItemCharset::Tags: break;
  }
  return "";
}

ItemCharset NextItemCharset(ItemCharset charset) {
  for (int i = 0; i < kItemCharsets; ++i) {
    if (kCharsets[i] == charset) return kCharsets[(i + 1) % kItemCharsets];
  }
  return ItemCharset::Tags;
}

ItemCharset EntryItemCharset(const TagDefinition& entry) {
  if (entry.kind != EntryKind::Data || entry.japaneseCodeStartTag != kItemCharsetTag) return ItemCharset::Tags;
  for (ItemCharset c : kCharsets) {
    if (c != ItemCharset::Tags && entry.japaneseCodeEndTag == ItemCharsetName(c)) return c;
  }
  return ItemCharset::Tags;
}

void SetEntryItemCharset(TagDefinition& entry, ItemCharset charset) {
  if (charset == ItemCharset::Tags) {
    if (entry.japaneseCodeStartTag == kItemCharsetTag) {
      entry.japaneseCodeStartTag.clear();
      entry.japaneseCodeEndTag.clear();
    }
    return;
  }
  entry.japaneseCodeStartTag = std::string(kItemCharsetTag);
  entry.japaneseCodeEndTag = ItemCharsetName(charset);
}

}  // namespace tanavo

// Carrier emoji: the pictures docomo, au (KDDI) and SoftBank phones write in
// the Shift_JIS user-defined area, each carrier with codes of its own that
// overlap the others' (F98B is a keycap 5 for docomo and the sun for
// SoftBank). The table is generated from Unicode's EmojiSources.txt and the
// Japanese CLDR short names (scripts/make-carrier-emoji.py).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tanavo {

enum class Carrier { None, Docomo, Au, SoftBank };

struct CarrierEmoji {
  unsigned code;     // lead byte * 256 + trail byte
  const char* utf8;  // the Unicode character (or sequence) in UTF-8
  const char* name;  // its Japanese short name in Shift_JIS
};

// The emoji at this double-byte code for the carrier; nullptr when none. For
// au, the codes its mail's JIS turns into (0xEB40-0xECFC, 0xED40-0xEE8D) are
// found as the codes of its phones (+0x0B00 and +0x0600).
const CarrierEmoji* FindCarrierEmoji(Carrier carrier, unsigned code);

// The emoji at the start of text (a whole double-byte character); nullptr
// when there is none or text is too short.
const CarrierEmoji* CarrierEmojiAt(Carrier carrier, std::string_view text);

// The mark a Shift_JIS output shows for an emoji: 〓[its short name].
std::string CarrierEmojiMark(const CarrierEmoji& emoji);

// The text with each emoji of the carrier made its mark, walking whole
// characters; count (when given) gets the number of emoji. Carrier::None
// gives the text unchanged.
std::string MarkCarrierEmoji(std::string_view text, Carrier carrier, std::size_t* count = nullptr);

// The carrier a record names: the mail domains of docomo (docomo.ne.jp), au
// (ezweb.ne.jp, au.com) and SoftBank (softbank.ne.jp, i.softbank.jp,
// vodafone.ne.jp, the J-PHONE jp-?.ne.jp), or an X-Mailer line naming one.
// An X-Mailer wins; else the carrier when the record names only one;
// Carrier::None when it names none or several.
Carrier CarrierOfRecord(std::string_view record);

// The carrier setting of the extraction settings: auto (from the record),
// one carrier (the record's when it names one, else this), or none (no
// emoji at all, every byte as it is).
enum class CarrierSetting { Auto, Docomo, Au, SoftBank, None };

// The carrier a record's text is read with under the setting.
Carrier CarrierFor(CarrierSetting setting, std::string_view record);

}  // namespace tanavo

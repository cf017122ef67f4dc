#include "codec/carrier_emoji.h"

#include <algorithm>
#include <iterator>

#include "text/bytes.h"

namespace tanavo {

namespace {

#include "codec/carrier_emoji_table.inc"

template <std::size_t N>
const CarrierEmoji* FindIn(const CarrierEmoji (&table)[N], unsigned code) {
  const CarrierEmoji* it =
      std::lower_bound(std::begin(table), std::end(table), code, [](const CarrierEmoji& e, unsigned c) { return e.code < c; });
  return it != std::end(table) && it->code == code ? it : nullptr;
}

// au mail: its JIS codes become 0xEB40-0xEEFC, which are its phones' codes
// moved down.
unsigned AuPhoneCode(unsigned code) {
  if (code >= 0xEB40 && code <= 0xECFC) return code + 0x0B00;
  if (code >= 0xED40 && code <= 0xEE8D) return code + 0x0600;
  return code;
}

bool ContainsNoCase(const std::string& lowered, std::string_view word) {
  return lowered.find(word) != std::string::npos;
}

// The J-PHONE domains jp-d.ne.jp, jp-t.ne.jp, ...: "@jp-" + one letter + ".ne.jp".
bool NamesJPhone(const std::string& lowered) {
  for (std::size_t at = lowered.find("@jp-"); at != std::string::npos; at = lowered.find("@jp-", at + 1)) {
    if (lowered.compare(at + 5, 6, ".ne.jp") == 0) return true;
  }
  return false;
}

// The carrier an X-Mailer line names, None when there is none.
Carrier XMailerCarrier(const std::string& lowered) {
  const std::size_t at = lowered.find("\nx-mailer:");
  if (at == std::string::npos) return Carrier::None;
  const std::size_t end = lowered.find('\n', at + 1);
  const std::string line = lowered.substr(at, end == std::string::npos ? std::string::npos : end - at);
  if (ContainsNoCase(line, "docomo")) return Carrier::Docomo;
  if (ContainsNoCase(line, "kddi") || ContainsNoCase(line, "ezweb")) return Carrier::Au;
  if (ContainsNoCase(line, "softbank") || ContainsNoCase(line, "vodafone")) return Carrier::SoftBank;
  return Carrier::None;
}

}  // namespace

const CarrierEmoji* FindCarrierEmoji(Carrier carrier, unsigned code) {
  switch (carrier) {
    case Carrier::Docomo: return FindIn(kDocomoEmoji, code);
    case Carrier::Au: return FindIn(kAuEmoji, AuPhoneCode(code));
    case Carrier::SoftBank: return FindIn(kSoftBankEmoji, code);
    case Carrier::None: break;
  }
  return nullptr;
}

const CarrierEmoji* CarrierEmojiAt(Carrier carrier, std::string_view text) {
  if (carrier == Carrier::None || text.size() < 2) return nullptr;
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  const unsigned char trail = static_cast<unsigned char>(text[1]);
  // Every carrier's codes are past 0xEA: nothing earlier is looked up.
  if (lead < 0xEB || !IsShiftJisLead(lead) || !IsShiftJisTrail(trail)) return nullptr;
  return FindCarrierEmoji(carrier, static_cast<unsigned>(lead) << 8 | trail);
}

std::string CarrierEmojiMark(const CarrierEmoji& emoji) { return "〓[" + std::string(emoji.name) + "]"; }

std::string MarkCarrierEmoji(std::string_view text, Carrier carrier, std::size_t* count) {
  std::size_t found = 0;
  std::string out;
  if (carrier == Carrier::None) {
    out.assign(text);
  } else {
    out.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t i = 0; i < text.size();) {
      const unsigned char b = static_cast<unsigned char>(text[i]);
      if (!IsShiftJisLead(b) || i + 1 >= text.size()) {
        ++i;
        continue;
      }
      if (const CarrierEmoji* e = CarrierEmojiAt(carrier, text.substr(i, 2))) {
        out.append(text, copied, i - copied);
        out += CarrierEmojiMark(*e);
        ++found;
        copied = i + 2;
      }
      i += IsShiftJisTrail(static_cast<unsigned char>(text[i + 1])) ? 2 : 1;
    }
    out.append(text, copied, std::string_view::npos);
  }
  if (count) *count = found;
  return out;
}

Carrier CarrierOfRecord(std::string_view record) {
  const std::string lowered = "\n" + AsciiLowered(record);
  const Carrier mailer = XMailerCarrier(lowered);
  if (mailer != Carrier::None) return mailer;
  const bool docomo = ContainsNoCase(lowered, "@docomo.ne.jp");
  const bool au = ContainsNoCase(lowered, "ezweb.ne.jp") || ContainsNoCase(lowered, "@au.com");
  const bool softbank = ContainsNoCase(lowered, "softbank.ne.jp") || ContainsNoCase(lowered, "@i.softbank.jp") ||
                        ContainsNoCase(lowered, "vodafone.ne.jp") || NamesJPhone(lowered);
  if (docomo + au + softbank != 1) return Carrier::None;
  return docomo ? Carrier::Docomo : au ? Carrier::Au : Carrier::SoftBank;
}

Carrier CarrierFor(CarrierSetting setting, std::string_view record) {
  if (setting == CarrierSetting::None) return Carrier::None;
  const Carrier named = CarrierOfRecord(record);
  if (named != Carrier::None) return named;
  switch (setting) {
    case CarrierSetting::Docomo: return Carrier::Docomo;
    case CarrierSetting::Au: return Carrier::Au;
    case CarrierSetting::SoftBank: return Carrier::SoftBank;
    default: return Carrier::None;
  }
}

}  // namespace tanavo

#include "extract/carrier_choice.h"

namespace tanavo {

namespace {

constexpr CarrierSetting kSettings[kCarrierSettings] = {CarrierSetting::Auto, CarrierSetting::Docomo,
                                                        CarrierSetting::Au, CarrierSetting::SoftBank,
                                                        CarrierSetting::None};

}  // namespace

const char* CarrierSettingName(CarrierSetting setting) {
  switch (setting) {
    case CarrierSetting::Docomo: return "docomo";
    case CarrierSetting::Au: return "au";
    case CarrierSetting::SoftBank: return "SoftBank";
    case CarrierSetting::None: return "none";
    case CarrierSetting::Auto: break;
  }
  return "auto";
}

CarrierSetting NextCarrierSetting(CarrierSetting setting) {
  for (int i = 0; i < kCarrierSettings; ++i) {
    if (kSettings[i] == setting) return kSettings[(i + 1) % kCarrierSettings];
  }
  return CarrierSetting::Auto;
}

CarrierSetting EntryCarrierSetting(const TagDefinition& entry) {
  if (entry.japaneseCodeStartTag != kCarrierTag) return CarrierSetting::Auto;
  for (CarrierSetting c : kSettings) {
    if (entry.japaneseCodeEndTag == CarrierSettingName(c)) return c;
  }
  return CarrierSetting::Auto;
}

void SetEntryCarrierSetting(TagDefinition& entry, CarrierSetting setting) {
  if (setting == CarrierSetting::Auto) {
    if (entry.japaneseCodeStartTag == kCarrierTag) {
      entry.japaneseCodeStartTag.clear();
      entry.japaneseCodeEndTag.clear();
    }
    return;
  }
  entry.japaneseCodeStartTag = std::string(kCarrierTag);
  entry.japaneseCodeEndTag = CarrierSettingName(setting);
}

CarrierSetting CarrierSettingOf(const ExtractionSettings& s) {
  const int i = FirstEntryOfKind(s, EntryKind::DSet);
  return i < 0 ? CarrierSetting::Auto : EntryCarrierSetting(s.entries[static_cast<std::size_t>(i)]);
}

bool SetCarrierSetting(ExtractionSettings& s, CarrierSetting setting) {
  const int i = FirstEntryOfKind(s, EntryKind::DSet);
  if (i < 0) return false;
  SetEntryCarrierSetting(s.entries[static_cast<std::size_t>(i)], setting);
  return true;
}

}  // namespace tanavo

// The carrier setting of the extraction settings: whose emoji a record's
// user-defined codes are read as when the record does not say (auto, docomo,
// au, SoftBank), or none. Stored in the record entry's (the first D_SET's,
// the one the index is made by) charset tag pair as the start tag "*EMOJI*"
// with the setting's name as the end tag: nothing reads a D_SET's charset
// pair, so every settings file written before reads as auto (the pair
// empty), and the value round-trips through the 50-byte fields of the .kta
// file unchanged.
#pragma once

#include <string_view>

#include "codec/carrier_emoji.h"
#include "extract/settings.h"

namespace tanavo {

inline constexpr std::string_view kCarrierTag = "*EMOJI*";
constexpr int kCarrierSettings = 5;

CarrierSetting CarrierSettingOf(const ExtractionSettings& s);
// False (nothing changed) when the settings hold no D_SET entry to keep it.
bool SetCarrierSetting(ExtractionSettings& s, CarrierSetting setting);

// The same for one entry's pair. Auto empties the pair only when it holds
// the marker, so that a pair typed for anything else stays as it is.
CarrierSetting EntryCarrierSetting(const TagDefinition& entry);
void SetEntryCarrierSetting(TagDefinition& entry, CarrierSetting setting);

// The setting after this one, in the order auto, docomo, au, SoftBank, none.
CarrierSetting NextCarrierSetting(CarrierSetting setting);

// The setting's name as stored and shown: "auto", "docomo", "au", "SoftBank", "none".
const char* CarrierSettingName(CarrierSetting setting);

}  // namespace tanavo

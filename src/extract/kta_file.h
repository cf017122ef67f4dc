// The extraction settings file (*.kta): 800-byte entries of sixteen 50-byte fields.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "extract/settings.h"

namespace tanavo {

constexpr std::size_t kFieldBytes = 50;
constexpr int kFieldsPerEntry = 16;
constexpr std::size_t kEntryBytes = kFieldBytes * kFieldsPerEntry;  // 800

// A value as stored in its field: spaces written "[SP]", padded with spaces
// to 50 bytes or cut at 50.
std::string EncodeFileField(std::string_view value);
// A stored field back to its value: spaces deleted, then "[SP]" made a space.
// Takes at most the field's 50 bytes.
std::string DecodeFileField(std::string_view field);
// True when the value does not fit its field once its spaces are expanded.
bool ExceedsFileField(std::string_view value);

// One entry's sixteen fields in the file's order.
std::string EncodeEntry(const TagDefinition& e);
// Fills the entry from up to 800 bytes; fields past the end are empty.
void DecodeEntry(std::string_view bytes, TagDefinition& e);

// The shown names of the entry's fields that do not fit the file, in the
// file's order (the save warning lists them).
std::vector<const char*> OverlongFields(const TagDefinition& e);

}  // namespace tanavo

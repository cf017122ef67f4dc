// What loading and saving the two settings files warn of, as codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/reporter.h"

namespace tanavo {

// The save warning lists this many over-long fields and counts the rest.
constexpr int kListedOverlongFields = 10;

enum class SettingsWarning {
  NotDisplaySettings,  // a *.kdp read that is no display settings file
  TooManyEntries,      // count: the entries of a *.kta, those past the table not read
  OverlongFields,      // count: the fields cut by a save; detail: the first
                       // kListedOverlongFields, each on a line of its own
};
std::string WarningText(SettingsWarning warning, int64_t count, std::string_view detail);
using SettingsReporter = Reporter<SettingsWarning, int64_t, std::string_view>;
using SettingsBoxes = BoxReporter<SettingsWarning, int64_t, std::string_view>;

}  // namespace tanavo

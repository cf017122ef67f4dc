// A charset converter for tests that must not depend on the system's: it
// knows the Shift_JIS family and ISO-2022-JP (with the program's own codec)
// and refuses every other charset, as the system does with one it lacks.
#pragma once

#include <string>
#include <vector>

#include "platform/charset.h"

namespace tanavo {

class FakeCharsetConverter : public CharsetConverter {
 public:
  bool ToShiftJis(std::string_view charset, std::string_view bytes, CharsetResult* out) const override;
  mutable std::vector<std::string> asked;  // every charset name asked for, in order
};

}  // namespace tanavo

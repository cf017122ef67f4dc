#include "display/placeholder.h"

#include "text/bytes.h"

namespace tanavo {

namespace {

constexpr std::string_view kMark = "??";

std::size_t BareWidth(std::string_view name) { return kMark.size() * 2 + name.size(); }

}  // namespace

TagMatch FindPlaceholder(std::string_view text, std::string_view name) {
  std::string start(kMark);
  start.append(name);
  return ExtractBetweenTags(text, start, kMark, 1, "", "", ExtractMode::WithTags);
}

bool FillPlaceholder(std::string& text, std::string_view name, std::string_view value) {
  TagMatch m = FindPlaceholder(text, name);
  if (m.status != MatchStatus::Found) return false;
  const std::size_t width = m.text.size();
  const std::size_t padding = width > BareWidth(name) && value.size() < width ? width - value.size() : 0;
  // The placeholder found is the first occurrence of its own text, so it is
  // replaced where it was found, in place.
  std::string filled(value);
  filled.append(padding, ' ');
  text.replace(static_cast<std::size_t>(m.start - 1), width, filled);
  return true;
}

void ClearPlaceholder(std::string& text, std::string_view name) {
  TagMatch m = FindPlaceholder(text, name);
  if (m.status != MatchStatus::Found) return;
  const int32_t width = static_cast<int32_t>(m.text.size());
  text = ReplaceAll(text, m.text, m.text.size() > BareWidth(name) ? Spaces(width) : std::string());
}

}  // namespace tanavo

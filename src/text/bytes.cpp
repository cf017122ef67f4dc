#include "text/bytes.h"

#include <cstring>
#include <vector>

namespace tanavo {

std::size_t FindWithPrefixTable(std::string_view text, std::string_view pattern, std::size_t start) {
  if (start > text.size()) return std::string_view::npos;
  const std::size_t m = pattern.size();
  if (m == 0) return start;
  // border[i]: length of the longest proper prefix of pattern[0..i] that is
  // also its suffix; a mismatch falls back to it instead of rescanning.
  std::vector<std::size_t> border(m, 0);
  for (std::size_t i = 1, k = 0; i < m; ++i) {
    while (k > 0 && pattern[i] != pattern[k]) k = border[k - 1];
    if (pattern[i] == pattern[k]) ++k;
    border[i] = k;
  }
  std::size_t k = 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (k == 0) {
      // Nothing matched yet: jump to the next occurrence of the first byte.
      const void* at = std::memchr(text.data() + i, pattern[0], text.size() - i);
      if (!at) return std::string_view::npos;
      i = static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
    }
    while (k > 0 && text[i] != pattern[k]) k = border[k - 1];
    if (text[i] == pattern[k]) ++k;
    if (k == m) return i + 1 - m;
  }
  return std::string_view::npos;
}

std::size_t FindIn(std::string_view text, std::string_view pattern, std::size_t start) {
  if (start > text.size()) return std::string_view::npos;
#ifdef __GLIBC__
  if (pattern.empty()) return start;
  // Also keeps an empty view's null data away from memmem, which must not get it.
  if (text.size() - start < pattern.size()) return std::string_view::npos;
  const void* at = memmem(text.data() + start, text.size() - start, pattern.data(), pattern.size());
  return at ? static_cast<std::size_t>(static_cast<const char*>(at) - text.data()) : std::string_view::npos;
#else
  // Short patterns by the library's find, which costs at most the pattern's
  // length at each byte.
  constexpr std::size_t kShortPattern = 16;
  if (pattern.size() <= kShortPattern) return text.find(pattern, start);
  return FindWithPrefixTable(text, pattern, start);
#endif
}

int32_t FindBytes(int32_t from, std::string_view text, std::string_view pattern) {
  if (pattern.empty()) return from;
  if (from < 1) return 0;
  std::size_t start = static_cast<std::size_t>(from) - 1;
  if (start >= text.size()) return 0;
  std::size_t at = FindIn(text, pattern, start);
  return at == std::string_view::npos ? 0 : static_cast<int32_t>(at + 1);
}

void AppendReplacingAll(std::string& out, std::string_view text, std::string_view pattern,
                        std::string_view replacement) {
  if (pattern.empty()) {
    out.append(text);
    return;
  }
  std::size_t pos = 0;
  for (;;) {
    std::size_t at = FindIn(text, pattern, pos);
    if (at == std::string_view::npos) break;
    out.append(text.data() + pos, at - pos);
    out.append(replacement);
    pos = at + pattern.size();
  }
  out.append(text.data() + pos, text.size() - pos);
}

std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement) {
  std::string out;
  out.reserve(text.size());
  AppendReplacingAll(out, text, pattern, replacement);
  return out;
}

std::string ReplaceFirst(std::string_view text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty()) return std::string(text);
  std::size_t at = FindIn(text, pattern, 0);
  if (at == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size() + replacement.size());
  out.append(text.data(), at);
  out.append(replacement);
  out.append(text.data() + at + pattern.size(), text.size() - at - pattern.size());
  return out;
}

std::string RemoveByte(std::string_view text, char byte) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != byte) out.push_back(c);
  }
  return out;
}

std::string Spaces(int32_t n) { return n > 0 ? std::string(static_cast<std::size_t>(n), ' ') : std::string(); }

std::string RightAligned(int64_t n, std::size_t width) {
  std::string t = std::to_string(n);
  if (t.size() < width) t.insert(0, width - t.size(), ' ');
  return t.substr(t.size() - width);
}

std::string_view CutOnCharBoundary(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t cut = 0;
  while (cut < maxBytes) {
    std::size_t step = IsShiftJisLead(static_cast<unsigned char>(text[cut])) ? 2 : 1;
    if (cut + step > maxBytes) break;
    cut += step;
  }
  return text.substr(0, cut);
}

std::string AsciiLowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string_view TrimSpaceAndLineEnds(std::string_view text) {
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace tanavo

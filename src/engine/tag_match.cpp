#include "engine/tag_match.h"

#include "text/bytes.h"

namespace tanavo {
namespace {

// Whether the end tag occurrence at 0-based position e is a line break inside
// the data rather than its end: the bytes just before it equal lineEnd, or
// the bytes just after it equal nextLineHead. A window reaching outside the
// text never matches.
bool IsContinuation(std::string_view text, std::size_t e, std::string_view endTag, std::string_view lineEnd,
                    std::string_view nextLineHead) {
  if (!lineEnd.empty() && e >= lineEnd.size() &&
      text.compare(e - lineEnd.size(), lineEnd.size(), lineEnd) == 0) {
    return true;
  }
  if (!nextLineHead.empty()) {
    std::size_t after = e + endTag.size();
    if (after <= text.size() && text.size() - after >= nextLineHead.size() &&
        text.compare(after, nextLineHead.size(), nextLineHead) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

TagMatch ExtractBetweenTags(std::string_view text, std::string_view startTag, std::string_view endTag,
                            int32_t from, std::string_view lineEnd, std::string_view nextLineHead,
                            ExtractMode mode) {
  TagMatch m;
  m.status = MatchStatus::NotFound;

  // 0-based index of the start tag. An empty start tag matches where the
  // search begins, but only at a place that exists in the text (1 to
  // len + 1): a search starting before or past the text finds nothing.
  std::size_t s;
  if (startTag.empty()) {
    if (from < 1 || static_cast<std::size_t>(from) > text.size() + 1) return m;
    s = static_cast<std::size_t>(from) - 1;
  } else {
    int32_t found = FindBytes(from, text, startTag);
    if (found == 0) return m;
    s = static_cast<std::size_t>(found) - 1;
  }

  const std::size_t b = s + startTag.size();  // first byte after the start tag
  std::size_t e = b;
  // With an empty end tag the data ends right after the start tag and the
  // continuation-line condition is ignored: every "next" occurrence of an
  // empty tag is the same place, so honouring it could never end.
  if (!endTag.empty()) {
    e = FindIn(text, endTag, b);
    if (e == std::string_view::npos) {
      m.status = MatchStatus::StartWithoutEnd;
      return m;
    }
    if (!lineEnd.empty() || !nextLineHead.empty()) {
      // A continuation that is met by the last end tag of the text ends the
      // match there.
      while (IsContinuation(text, e, endTag, lineEnd, nextLineHead)) {
        std::size_t next = FindIn(text, endTag, e + endTag.size());
        if (next == std::string_view::npos) break;
        e = next;
      }
    }
  }

  if (mode != ExtractMode::PositionsOnly) {
    const std::string_view content = text.substr(b, e - b);
    const bool joinLines = !endTag.empty() && !content.empty() && (!lineEnd.empty() || !nextLineHead.empty());
    const bool withTags = mode == ExtractMode::WithTags;
    if (!joinLines) {
      // Start tag, content and end tag lie side by side in the text.
      m.text = withTags ? std::string(text.substr(s, e + endTag.size() - s)) : std::string(content);
    } else {
      std::string joined;
      joined.reserve(lineEnd.size() + endTag.size() + nextLineHead.size());
      joined.append(lineEnd).append(endTag).append(nextLineHead);
      m.text.reserve((withTags ? startTag.size() + endTag.size() : 0) + content.size());
      if (withTags) m.text.append(startTag);
      AppendReplacingAll(m.text, content, joined, "");
      if (withTags) m.text.append(endTag);
    }
  }

  m.start = static_cast<int32_t>(s + 1);
  m.end = static_cast<int32_t>(e + endTag.size());
  m.status = MatchStatus::Found;
  return m;
}

}  // namespace tanavo

#include <string>
#include <string_view>
#include <vector>

#include "state/workspace.h"
#include "cli/cli.h"
#include "mime/full_choice.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "platform/files.h"

namespace tanavo {

namespace {

constexpr std::string_view kMark = "??";

std::string EntryLabel(const ExtractionSettings& s, int i) {
  const TagDefinition& e = s.entries[static_cast<std::size_t>(i)];
  return "抽出設定 項目" + std::to_string(i + 1) + " " + e.kind.Text() + " \"" + e.name + "\": ";
}

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc); }

// A name as compared for a hint: ASCII letters upper-cased and spaces and
// tabs dropped, double-byte characters kept whole.
std::string Folded(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(name[i]);
    if (IsLeadByte(b) && i + 1 < name.size()) {
      out += name.substr(i, 2);
      ++i;
    } else if (b != ' ' && b != '\t') {
      out += static_cast<char>(b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b);
    }
  }
  return out;
}

// Two entries of one name, other than the two entries of one D_SET or Group
// pair; the walk and the renderer only ever find the first of them.
void FindSharedNames(const ExtractionSettings& s, int used, std::vector<std::string>& found) {
  for (int i = 0; i < used; ++i) {
    const TagDefinition& e = s.entries[static_cast<std::size_t>(i)];
    int first = -1, before = 0;
    for (int j = 0; j < i; ++j) {
      if (s.entries[static_cast<std::size_t>(j)].name != e.name) continue;
      if (first < 0) first = j;
      ++before;
    }
    if (first < 0) continue;
    const TagDefinition& f = s.entries[static_cast<std::size_t>(first)];
    // Kinds compared as spelled: two entries of one unknown kind still pair.
    const bool closesPair = before == 1 && f.kind.Text() == e.kind.Text() && e.kind != EntryKind::Data;
    if (!closesPair) found.push_back(EntryLabel(s, i) + "項目" + std::to_string(first + 1) + "と同じ名前です");
  }
}

void LintEntries(const ExtractionSettings& s, std::vector<std::string>& found) {
  const int used = UsedCount(s);
  bool dsetSeen = false;
  for (int i = 0; i < used; ++i) {
    const TagDefinition& e = s.entries[static_cast<std::size_t>(i)];
    if (e.kind == EntryKind::DSet) dsetSeen = true;
    if (e.kind == EntryKind::Data) {
      if (!dsetSeen) found.push_back(EntryLabel(s, i) + "D_SET より前にあるため抽出されません");
      // Full decoding reads the whole item as mail: it has no content tags.
      if (!IsFullMimeEntry(e) && (e.contentStartTag.empty() || e.contentEndTag.empty()))
        found.push_back(EntryLabel(s, i) + "コンテンツのタグが空のため値はいつも空です");
    } else if (FindPartner(s, i) < 0) {
      found.push_back(EntryLabel(s, i) + "終了タグ(同じ名前のもう一つの " + e.kind.Text() + ")がありません");
    }
  }
  FindSharedNames(s, used, found);
}

// Placeholders of text that no Data entry fills: the renderer shows them as
// they are (or clears them), without a word.
void LintPlaceholders(const ExtractionSettings& s, const std::string& what, const std::string& text,
                      std::vector<std::string>& found) {
  const int used = UsedCount(s);
  std::size_t from = 0;
  for (;;) {
    const std::size_t open = text.find(kMark, from);
    if (open == std::string::npos) return;
    const std::size_t close = text.find(kMark, open + kMark.size());
    if (close == std::string::npos) return;
    const std::string_view inside = std::string_view(text).substr(open + kMark.size(), close - open - kMark.size());
    // "??" in running text, not a placeholder: the second mark may open one.
    if (inside.empty() || inside.find_first_of("\r\n") != std::string_view::npos) {
      from = inside.empty() ? close + kMark.size() : close;
      continue;
    }
    from = close + kMark.size();
    bool filled = false;
    std::string hint;
    for (int i = 0; i < used && !filled; ++i) {
      const TagDefinition& e = s.entries[static_cast<std::size_t>(i)];
      if (e.kind != EntryKind::Data) continue;
      // The renderer's match: "??" + name, then anything up to "??".
      filled = inside.substr(0, e.name.size()) == e.name;
      if (hint.empty() && Folded(inside) == Folded(e.name)) hint = e.name;
    }
    if (filled) continue;
    std::string line = "表示設定 " + what + " " + text.substr(open, close + kMark.size() - open) +
                       ": この名前の Data 項目がありません";
    if (!hint.empty()) line += " (近い名前: \"" + hint + "\")";
    found.push_back(line);
  }
}

}  // namespace

std::vector<std::string> LintSettings(const ExtractionSettings& s, const DisplaySettings* display) {
  std::vector<std::string> found;
  LintEntries(s, found);
  if (display) {
    LintPlaceholders(s, "一覧行", display->listLineTemplate, found);
    LintPlaceholders(s, "表示レイアウト", display->layoutText, found);
  }
  return found;
}

// lint KTA [KDP]: one line per thing that makes the settings silently show
// nothing; exit 1 when there is any.
int RunLintCommand(CliContext& ctx) {
  if (ctx.args.empty() || ctx.args.size() > 2) return kExitUsage;
  ConsolePlatform& platform = *ctx.platform;
  Workspace ws(platform);
  if (LoadExtractionFile(ws, ws.files.AbsolutePath(ctx.args[0])) != FileLoad::Loaded) return kExitFailed;
  if (ctx.args.size() == 2 &&
      LoadDisplayFile(ws, ws.files.AbsolutePath(ctx.args[1])) != FileLoad::Loaded) {
    return kExitFailed;
  }
  const std::vector<std::string> found = LintSettings(ws.extraction, ctx.args.size() == 2 ? &ws.display : nullptr);
  for (const std::string& line : found) ctx.out += line + "\n";
  return found.empty() ? kExitOk : kExitFailed;
}

}  // namespace tanavo

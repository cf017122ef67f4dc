#include "display/attachment.h"

#include <algorithm>

#include "app/app.h"
#include "app/path.h"
#include "codec/codec.h"
#include "dispset/display_window.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

constexpr std::size_t kGroupChars = 4;
constexpr const char* kFallbackExtension = "bin";

// Extensions the shell runs, installs or hands to a script host.
constexpr std::string_view kProgramExtensions[] = {
    "exe", "com", "bat", "cmd", "scr", "pif", "cpl", "msi", "msp", "mst", "js",  "jse", "vbs", "vbe", "vb",
    "wsf", "wsh", "wsc", "ws",  "hta", "ps1", "psm1", "psd1", "ps1xml", "ps2", "psc1", "lnk", "reg", "jar",
    "dll", "sys", "inf", "chm", "hlp", "msc", "scf", "url", "gadget", "application", "appx", "msix", "cab",
};

std::string Progress(std::size_t at, std::size_t total) {
  return std::to_string(at) + "/" + std::to_string(total) + "Bytes";
}

bool IsAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool ForbiddenInName(unsigned char c) {
  return c < 0x20 || c == 0x7F || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsDeviceName(std::string_view stem) {
  std::string lower(stem);
  for (char& c : lower) c = AsciiLower(c);
  static const std::string_view kDevices[] = {"con", "prn", "aux", "nul"};
  if (std::find(std::begin(kDevices), std::end(kDevices), lower) != std::end(kDevices)) return true;
  return lower.size() == 4 && (lower.compare(0, 3, "com") == 0 || lower.compare(0, 3, "lpt") == 0) &&
         lower[3] >= '1' && lower[3] <= '9';
}

}  // namespace

std::string SafeAttachmentName(const std::string& name, int number, std::vector<std::string>* taken) {
  std::string safe;
  safe.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsShiftJisLead(c) && i + 1 < name.size()) {
      safe.append(name, i, 2);  // a trail byte 0x5C is no backslash
      ++i;
    } else {
      safe.push_back(ForbiddenInName(c) ? '_' : static_cast<char>(c));
    }
  }
  if (safe.empty() || safe == "." || safe == "..") safe = "attachment" + std::to_string(number);
  if (safe.size() > kMaxAttachmentNameBytes) {
    const std::size_t dot = safe.rfind('.');
    const bool keepExtension = dot != std::string::npos && dot > 0 && safe.size() - dot <= kMaxExtensionBytes + 1;
    const std::string extension = keepExtension ? safe.substr(dot) : std::string();
    const std::string_view stem(safe.data(), keepExtension ? dot : safe.size());
    safe = std::string(CutOnCharBoundary(stem, kMaxAttachmentNameBytes - extension.size())) + extension;
  }
  while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) {
    safe.back() = '_';
  }
  const std::size_t dot = safe.find('.');
  if (IsDeviceName(std::string_view(safe).substr(0, dot))) safe.insert(0, "_");

  std::string unique = safe;
  const std::size_t ext = safe.rfind('.');
  const std::string stem = ext == std::string::npos || ext == 0 ? safe : safe.substr(0, ext);
  const std::string tail = ext == std::string::npos || ext == 0 ? std::string() : safe.substr(ext);
  // Windows names ignore the case of ASCII letters.
  auto isTaken = [&](const std::string& candidate) {
    return std::any_of(taken->begin(), taken->end(), [&](const std::string& t) {
      return t.size() == candidate.size() && std::equal(t.begin(), t.end(), candidate.begin(), [](char a, char b) {
               return AsciiLower(a) == AsciiLower(b);
             });
    });
  };
  for (int k = 2; isTaken(unique); ++k) {
    unique = stem + " (" + std::to_string(k) + ")" + tail;
  }
  taken->push_back(unique);
  return unique;
}

std::string DecodeAttachment(std::string_view content,
                             const std::function<void(int, std::size_t, std::size_t)>& progress) {
  const Base64Alphabet& a = TheBase64Alphabet();
  const std::size_t inputBytes = content.size();
  std::string kept;
  kept.reserve(inputBytes);
  for (std::size_t i = 0; i < inputBytes; ++i) {
    if (progress && (i == 0 || (i + 1) % kProgressStepBytes == 0 || i + 1 == inputBytes)) {
      progress(1, i + 1, inputBytes);
    }
    if (a.value[static_cast<unsigned char>(content[i])] >= 0) kept.push_back(content[i]);
  }
  // The kept characters are whole groups but the last, so decoding them in
  // slices of whole groups gives the bytes of decoding them at once.
  const std::size_t chars = kept.size();
  const std::size_t slice = kProgressStepBytes / kGroupChars * kGroupChars;
  std::string out;
  out.reserve(chars / kGroupChars * 3);
  for (std::size_t at = 0; at < chars; at += slice) {
    if (progress) progress(2, at + 1, chars);
    out += DecodeBase64(std::string_view(kept).substr(at, slice));
  }
  if (progress && chars > 0) progress(2, (chars - 1) / kGroupChars * kGroupChars + 1, chars);
  return out;
}

std::string TemporaryExtension(const std::string& attachmentName, char separator) {
  const std::string ext = SplitPath(attachmentName, separator).extension;
  // The extension goes into a path: a separator, ":" (a stream), a dot or a
  // byte of a double-byte character could make it name another file.
  const bool plain = !ext.empty() && ext.size() <= kMaxExtensionBytes && std::all_of(ext.begin(), ext.end(), IsAsciiAlnum);
  return plain ? ext : kFallbackExtension;
}

bool RunsAsProgram(std::string_view extension) {
  std::string lower(extension);
  for (char& c : lower) c = AsciiLower(c);
  return std::find(std::begin(kProgramExtensions), std::end(kProgramExtensions), lower) !=
         std::end(kProgramExtensions);
}

void OpenAttachment(App& app) {
  Window* w = app.displayWindow ? app.displayWindow->window : nullptr;
  if (!w) return;
  const int row = w->ListSelection(kDispAttachmentList);
  const int slot = row + 1;
  if (row < 0 || slot > app.attachments.count || slot > kAttachmentSlots) return;
  const std::string& name = app.attachments.names[static_cast<std::size_t>(slot)];

  int shownPhase = 0;
  std::string bytes = DecodeAttachment(app.attachments.contents[static_cast<std::size_t>(slot)],
                                       [&](int phase, std::size_t at, std::size_t total) {
                                         if (phase != shownPhase) {
                                           w->SetText(kDispAttachmentLabel, phase == 1 ? "処理中(1/2)" : "処理中(2/2)");
                                           shownPhase = phase;
                                         }
                                         w->SetText(kDispStatusText, Progress(at, total));
                                       });
  w->SetText(kDispAttachmentLabel, "添付ファイル");
  w->SetText(kDispStatusText, "");

  Platform& p = app.platform;
  const std::string ext = TemporaryExtension(name, p.PathSeparator());
  const std::string path = app.state.programFolder + p.PathSeparator() + "temp." + ext;
  if (p.WriteFileReplacing(path, bytes) != WriteStatus::Ok) {
    ShowOpenFailure(p, "添付ファイル保存");
    return;
  }
  if (RunsAsProgram(ext)) {
    ShowWarning(p, "添付ファイルを " + path + " に保存しました。\r\nプログラムが実行されるおそれがあるため、開きません!!");
    return;
  }
  p.OpenWithShell(path);
}

}  // namespace tanavo

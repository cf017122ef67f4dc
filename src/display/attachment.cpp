#include "display/attachment.h"

#include <algorithm>

#include "state/workspace.h"
#include "text/path.h"
#include "codec/codec.h"
#include "display/attachment_opening.h"
#include "display/item_decoder.h"
#include "state/attachments.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

constexpr std::size_t kGroupChars = 4;
constexpr const char* kFallbackExtension = "bin";

bool IsAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool ForbiddenInName(unsigned char c) {
  return c < 0x20 || c == 0x7F || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

// A single byte that is a character of its own: printable ASCII or a
// half-width katakana. 0x80, 0xA0 and 0xFD-0xFF are none (Windows maps 0x80
// to a control character).
bool IsSingleByteChar(unsigned char c) { return (c >= 0x20 && c < 0x80) || (c >= 0xA1 && c <= 0xDF); }

// The most UTF-8 bytes text can become as a file name: three for every
// character or byte beyond ASCII. A UTF-16 name is never longer.
std::size_t MostUtf8Bytes(std::string_view text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      n += 1;
    } else {
      n += 3;
      if (IsShiftJisLead(c) && i + 1 < text.size()) ++i;
    }
  }
  return n;
}

// Windows opens these names, whatever extension follows and with spaces
// before it, as devices.
bool IsDeviceName(std::string_view name) {
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = AsciiLower(c);
  static const std::string_view kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
  if (std::find(std::begin(kDevices), std::end(kDevices), stem) != std::end(kDevices)) return true;
  return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) && stem[3] >= '0' &&
         stem[3] <= '9';
}

// The longest start of stem, on a character boundary, that fits both
// limits together with the extension.
std::string_view CutStem(std::string_view stem, const std::string& extension) {
  if (extension.size() >= kMaxAttachmentNameBytes) return {};
  std::string_view cut = CutOnCharBoundary(stem, kMaxAttachmentNameBytes - extension.size());
  const std::size_t room = kMaxAttachmentNameUtf8 - std::min(kMaxAttachmentNameUtf8, MostUtf8Bytes(extension));
  while (MostUtf8Bytes(cut) > room) cut = CutOnCharBoundary(cut, cut.size() - 1);
  return cut;
}

}  // namespace

std::string SafeAttachmentName(const std::string& name, int number, std::vector<std::string>* taken,
                               const FileSystem* files) {
  std::string safe;
  safe.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    // Only a real trail byte makes a double-byte character; its 0x5C or 0x7C
    // is part of the character, no backslash or bar.
    if (IsShiftJisLead(c) && i + 1 < name.size() && IsShiftJisTrail(static_cast<unsigned char>(name[i + 1]))) {
      safe.append(name, i, 2);
      ++i;
    } else {
      safe.push_back(!IsSingleByteChar(c) || ForbiddenInName(c) ? '_' : static_cast<char>(c));
    }
  }
  if (safe.empty() || safe == "." || safe == "..") safe = "attachment" + std::to_string(number);
  if (safe.size() > kMaxAttachmentNameBytes || MostUtf8Bytes(safe) > kMaxAttachmentNameUtf8) {
    const std::size_t dot = safe.rfind('.');
    const bool keepExtension = dot != std::string::npos && dot > 0 && safe.size() - dot <= kMaxExtensionBytes + 1;
    const std::string extension = keepExtension ? safe.substr(dot) : std::string();
    const std::string_view stem(safe.data(), keepExtension ? dot : safe.size());
    safe = std::string(CutStem(stem, extension)) + extension;
  }
  while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) {
    safe.back() = '_';
  }
  if (IsDeviceName(safe)) safe.insert(0, "_");

  std::string unique = safe;
  const std::size_t ext = safe.rfind('.');
  const std::string stem = ext == std::string::npos || ext == 0 ? safe : safe.substr(0, ext);
  const std::string tail = ext == std::string::npos || ext == 0 ? std::string() : safe.substr(ext);
  // Compared as the file system compares them; without one, as Windows
  // does for ASCII letters.
  auto key = [&](const std::string& n) {
    if (files) return files->FileNameKey(n);
    std::string k = n;
    for (char& c : k) c = AsciiLower(c);
    return k;
  };
  auto isTaken = [&](const std::string& candidate) {
    const std::string k = key(candidate);
    return std::any_of(taken->begin(), taken->end(), [&](const std::string& t) { return key(t) == k; });
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

std::string AttachmentBytes(const ItemAttachment& attachment) {
  return attachment.decoded ? attachment.content : DecodeAttachment(attachment.content);
}

std::string TemporaryExtension(const std::string& attachmentName, char separator) {
  const std::string ext = SplitPath(attachmentName, separator).extension;
  // The extension goes into a path: a separator, ":" (a stream), a dot or a
  // byte of a double-byte character could make it name another file.
  const bool plain = !ext.empty() && ext.size() <= kMaxExtensionBytes && std::all_of(ext.begin(), ext.end(), IsAsciiAlnum);
  return plain ? ext : kFallbackExtension;
}

std::size_t RecordItemAttachments(AttachmentTable& table, const DecodedItem& item) {
  const std::size_t shown = std::min(item.attachments.size(), static_cast<std::size_t>(kAttachmentSlots));
  for (std::size_t i = 0; i < shown; ++i) {
    const std::size_t slot = i + 1;
    table.count = static_cast<int32_t>(slot);
    table.names[slot] = item.attachments[i].name;
    table.contents[slot] = item.attachments[i].content;
    table.decoded[slot] = item.attachments[i].decoded;
  }
  return shown;
}

std::string WarningText(AttachmentWarning warning, std::size_t count, std::string_view detail) {
  switch (warning) {
    case AttachmentWarning::LeftOut:
      return "添付ファイルは" + std::to_string(kAttachmentSlots) + "件まで表示します。残りの" + std::to_string(count) +
             "件は表示されません";
    case AttachmentWarning::NotOpened:
      return "添付ファイルを " + std::string(detail) +
             " に保存しました。\r\nプログラムが実行されるおそれがあるため、開きません!!";
  }
  return std::string();
}

void WarnAttachmentsLeftOut(Platform& platform, const DecodedItem& item, std::size_t recorded,
                            AttachmentReporter* warnings) {
  // A mail read in full is valid mail however many attachments it has: no
  // box; the data display's status text counts them instead.
  if (item.attachmentCount <= recorded || item.fullMime) return;
  Report(platform, warnings, AttachmentWarning::LeftOut, item.attachmentCount - recorded, std::string_view());
}

void OpenAttachmentBytes(Workspace& ws, const std::string& name, const std::string& bytes,
                         AttachmentReporter* warnings) {
  Platform& p = ws.platform;
  FileSystem& fs = ws.files;
  const std::string ext = TemporaryExtension(name, fs.PathSeparator());
  const std::string path = ws.state.programFolder + fs.PathSeparator() + "temp." + ext;
  if (fs.WriteFileReplacing(path, bytes) != WriteStatus::Ok) {
    ShowOpenFailure(p, "添付ファイル保存");
    return;
  }
  fs.MarkFromInternet(path);
  // The bytes decide together with the name: a program named photo.jpg is
  // only written.
  if (JudgeAttachment(ext, bytes) != AttachmentOpening::Open) {
    Report(p, warnings, AttachmentWarning::NotOpened, std::size_t{0}, std::string_view(path));
    return;
  }
  p.OpenWithShell(path);
}

}  // namespace tanavo

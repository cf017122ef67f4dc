#include "display/attachment_opening.h"

#include <algorithm>
#include <string>

namespace tanavo {

namespace {

struct DocumentType {
  std::string_view extension;
  bool zipBased;  // the document itself is a ZIP container
};

// The document types the shell may open, each because what shows it only
// shows it: nothing in the file is run, installed, mounted or followed.
constexpr DocumentType kDocumentTypes[] = {
    // Photos as phones send them: raster images, only decoded to pixels.
    // (Not svg: a vector image is a script-capable web document.)
    {"jpg", false},
    {"jpeg", false},
    {"png", false},
    {"gif", false},
    {"bmp", false},
    // A page description shown by a viewer; Windows readers open a file from
    // the internet (the Mark of the Web) in their protected mode.
    {"pdf", false},
    // Plain text: the editor shows characters. (Not csv: a spreadsheet runs
    // formulas in it; not rtf: it embeds objects.)
    {"txt", false},
    // Office documents that cannot hold macros (the macro-enabled ones are
    // docm, xlsm, pptm); Office opens them from the internet in Protected
    // View. Legacy doc/xls/ppt are left out: they hold macros, and they are
    // compound files like the MSI installers, which their bytes cannot tell
    // apart.
    {"docx", true},
    {"xlsx", true},
    {"pptx", true},
    // Sound and video as phones record them, decoded by a player. (Not
    // asf/wma/wmv, which carry script commands, nor playlists, which
    // point elsewhere.)
    {"mp3", false},
    {"m4a", false},
    {"mp4", false},
    {"3gp", false},
    {"3g2", false},
    {"wav", false},
};

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

const DocumentType* FindDocumentType(std::string_view extension) {
  std::string lower(extension);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  for (const DocumentType& t : kDocumentTypes) {
    if (t.extension == lower) return &t;
  }
  return nullptr;
}

}  // namespace

ContentHeader ReadContentHeader(std::string_view b) {
  using namespace std::string_view_literals;
  // DOS accepts "ZM" as well as "MZ"; Wine runs DOS and PE programs alike.
  if (StartsWith(b, "MZ") || StartsWith(b, "ZM") || StartsWith(b, "\x7F" "ELF") ||
      StartsWith(b, "\xCA\xFE\xBA\xBE") || StartsWith(b, "\xFE\xED\xFA\xCE") || StartsWith(b, "\xFE\xED\xFA\xCF") ||
      StartsWith(b, "\xCE\xFA\xED\xFE") || StartsWith(b, "\xCF\xFA\xED\xFE")) {
    return ContentHeader::Executable;
  }
  if (StartsWith(b, "#!")) return ContentHeader::Script;
  // Header size 0x4C and the start of the shell link class id 00021401-...
  if (StartsWith(b, "L\0\0\0\x01\x14\x02\0"sv)) return ContentHeader::Shortcut;
  if (StartsWith(b, "MSCF") || StartsWith(b, "ISc(")) return ContentHeader::Cabinet;
  if (StartsWith(b, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return ContentHeader::CompoundFile;
  // A local file header, an empty archive, or the first part of a spanned one.
  if (StartsWith(b, "PK\x03\x04") || StartsWith(b, "PK\x05\x06") || StartsWith(b, "PK\x07\x08")) {
    return ContentHeader::Zip;
  }
  return ContentHeader::None;
}

AttachmentOpening JudgeAttachment(std::string_view extension, std::string_view bytes) {
  const DocumentType* type = FindDocumentType(extension);
  if (!type) return AttachmentOpening::TypeNotAllowed;
  const ContentHeader header = ReadContentHeader(bytes);
  if (header == ContentHeader::None || (header == ContentHeader::Zip && type->zipBased)) {
    return AttachmentOpening::Open;
  }
  return AttachmentOpening::ProgramContent;
}

}  // namespace tanavo

// Opening an attachment of the record on display: its content Base64-decoded
// into a temporary file in the program folder, opened with the shell.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tanavo {

struct App;

// Progress of a long decoding is shown at most once per this many input
// bytes (and at the start and end of each phase): a text per byte takes
// minutes on a large attachment.
constexpr std::size_t kProgressStepBytes = 64 * 1024;
// An extension is kept when it is this long at most and only ASCII letters
// and digits; anything else is written as "bin".
constexpr std::size_t kMaxExtensionBytes = 16;

// The attachment's bytes: bytes outside the Base64 alphabet dropped (phase 1),
// then the groups decoded (phase 2), as DecodeBase64 does. progress(phase,
// position, total) gives the input byte (phase 1) or the first character of
// the group (phase 2) reached so far.
std::string DecodeAttachment(std::string_view content,
                             const std::function<void(int, std::size_t, std::size_t)>& progress = nullptr);

// The extension of the temporary file for an attachment name.
std::string TemporaryExtension(const std::string& attachmentName, char separator);
// Whether Windows runs or installs a file with this extension when opened.
bool RunsAsProgram(std::string_view extension);

// A safe attachment name is cut to this many bytes, its extension kept: file
// systems take 255 bytes (or UTF-16 units) a name, and on POSIX each byte of
// a half-width katakana name becomes three of UTF-8, with room left for a
// prefix and a " (2)".
constexpr std::size_t kMaxAttachmentNameBytes = 80;

// A file name for an attachment written into a folder, that can name no
// other place: path separators, ":", control bytes and the characters
// Windows forbids in names become "_" (double-byte characters are kept
// whole), as do a final dot or space and the device names of Windows; an
// empty name, "." or ".." becomes "attachment" + number; a longer name than
// kMaxAttachmentNameBytes is cut before its extension, on a character
// boundary. A name already in
// taken gets " (2)", " (3)" ... before its extension; the name returned is
// added to taken.
std::string SafeAttachmentName(const std::string& name, int number, std::vector<std::string>* taken);

// Called on a selection in the attachment list.
void OpenAttachment(App& app);

}  // namespace tanavo

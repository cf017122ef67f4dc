// Opening an attachment of the record on display: its content Base64-decoded
// into a temporary file in the program folder, opened with the shell.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/reporter.h"

namespace tanavo {

struct Workspace;
struct AttachmentTable;
struct DecodedItem;
struct ItemAttachment;
class FileSystem;

enum class AttachmentWarning {
  LeftOut,    // count: the attachments of an item past the slots, not shown
  NotOpened,  // detail: the temporary file written, which the shell may not open
};
std::string WarningText(AttachmentWarning warning, std::size_t count, std::string_view detail);
using AttachmentReporter = Reporter<AttachmentWarning, std::size_t, std::string_view>;

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

// The bytes of an attachment of a decoded item: its content as it is when
// decoded already (a mail in full mode), else DecodeAttachment of it.
std::string AttachmentBytes(const ItemAttachment& attachment);

// The extension of the temporary file for an attachment name.
std::string TemporaryExtension(const std::string& attachmentName, char separator);

// A safe attachment name is cut to this many bytes, its extension kept.
constexpr std::size_t kMaxAttachmentNameBytes = 80;
// File systems take 255 bytes (POSIX) or UTF-16 units (Windows) a name. A
// safe name leaves room for what is added to it: the export's record prefix
// "NNNN-K-", a " (N)" that keeps it apart from a name taken, and the suffix
// of the temporary file a save writes first (".tanavo-" and its numbers).
constexpr std::size_t kMaxFileNameUnits = 255;
constexpr std::size_t kNamePrefixRoom = 16;
constexpr std::size_t kUniqueSuffixRoom = 13;  // " (" + ten digits + ")"
constexpr std::size_t kSaveSuffixRoom = 40;
// ... so a safe name becomes at most this many bytes of UTF-8 (and as many
// UTF-16 units or fewer) as a file name.
constexpr std::size_t kMaxAttachmentNameUtf8 = kMaxFileNameUnits - kNamePrefixRoom - kUniqueSuffixRoom - kSaveSuffixRoom;

// A file name for an attachment written into a folder, that can name no
// other place: path separators, ":", control bytes, the characters Windows
// forbids in names and bytes that are no character (a lead byte without a
// real trail byte among them) become "_", as do a final dot or space; the
// device names of Windows (also with spaces before the extension) get a "_"
// before them; an empty name, "." or ".." becomes "attachment" + number; a
// name longer than kMaxAttachmentNameBytes, or than kMaxAttachmentNameUtf8
// as a file name, is cut before its extension, on a character boundary. A
// name that is, as the file system of files compares names, one already in
// taken gets " (2)", " (3)" ... before its extension; the name returned is
// added to taken. Without files, names are compared ignoring the case of
// ASCII letters.
std::string SafeAttachmentName(const std::string& name, int number, std::vector<std::string>* taken,
                               const FileSystem* files = nullptr);

// Records the first kAttachmentSlots attachments of a multipart item in slots
// 1 upwards of the attachment table (its count is only set when one is
// recorded), so that list rows and table slots stay aligned. Returns how many.
std::size_t RecordItemAttachments(AttachmentTable& table, const DecodedItem& item);
// The warning naming those of the item past the ones recorded, if any (none
// for a mail decoded in full, which is valid mail), through warnings or else
// in a box of platform.
void WarnAttachmentsLeftOut(Platform& platform, const DecodedItem& item, std::size_t recorded,
                            AttachmentReporter* warnings = nullptr);

// An attachment chosen in the attachment list, decoded: written to the
// temporary file and opened only when JudgeAttachment allows it (else
// AttachmentWarning::NotOpened, through warnings or else in a box).
void OpenAttachmentBytes(Workspace& ws, const std::string& name, const std::string& bytes,
                         AttachmentReporter* warnings = nullptr);

}  // namespace tanavo

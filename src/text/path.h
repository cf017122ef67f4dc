// Cutting paths into their parts and putting them together again.
#pragma once

#include <string>

namespace tanavo {

// A path cut into folder, base name and extension (no separators, no dot).
struct PathParts {
  std::string folder;
  std::string baseName;
  std::string extension;
};

// Cuts at the last separator byte and at the last "." of the file name; plain
// byte searches, so a Shift_JIS trail byte 0x5C counts as a backslash.
PathParts SplitPath(const std::string& path, char separator = '\\');

// baseName + "." + extension: how a file name is shown to the user.
std::string ShownFileName(const PathParts& parts);

// folder + separator + baseName + "." + extension.
std::string JoinPath(const PathParts& parts, char separator = '\\');

// The file the parts name, as it is opened: JoinPath without the final "." of
// a name without extension, which Windows drops when it opens a file, so that
// every platform opens the same file.
std::string OpenablePath(const PathParts& parts, char separator = '\\');

// Paths as the other system writes them, for files named in an index file
// that was made on the other system. Wine shows the POSIX root as drive Z:.
// On POSIX (separator '/') "Z:\\a\\b" gives "/a/b"; on Windows ('\\') "/a/b"
// gives "Z:\\a\\b". Empty when the path is not of the other system's form.
std::string OtherSystemPath(const std::string& path, char separator);

// The last part of a path written by either system (after its last "\\",
// outside a double-byte character, or "/"), without the "." that an index
// file stores after a name without extension.
std::string FileNameOf(const std::string& path);

// The folder of a path: everything before its last separator (outside a
// double-byte character); empty when there is none.
std::string FolderOf(const std::string& path, char separator);

// A path that names a file on another computer (\\host\share\..., also
// //host/...): opening it would send the user's credentials there.
bool NamesNetworkPath(const std::string& path);

// A path that names a device rather than a file: the Windows device
// namespaces (\\.\..., \\?\...) and, on Windows, the reserved device names
// (CON, NUL, COM1, ... with any extension).
bool NamesDevice(const std::string& path, char separator);

}  // namespace tanavo

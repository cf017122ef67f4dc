// Cutting paths into their parts and putting them together again.
#pragma once

#include <string>

#include "app/app_state.h"

namespace tanavo {

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

}  // namespace tanavo

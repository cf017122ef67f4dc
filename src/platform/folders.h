// What is at a path where a folder is to be written.
#pragma once

#include <string>

namespace tanavo {

enum class FolderState { Missing, Empty, NotEmpty, NotAFolder };

// Missing when nothing is there; NotAFolder for a file, or anything that
// cannot be listed.
FolderState InspectFolder(const std::string& path);

}  // namespace tanavo

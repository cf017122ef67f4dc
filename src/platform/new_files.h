// Files written once into a folder made for them (the export): each created
// new, never replacing or following anything at its name, and made durable
// together at the end. A save flushes each file to disk before its rename,
// which for thousands of files costs more than all the rest of an export.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace tanavo {

// CannotCreate when anything is at path already.
WriteStatus WriteNewFile(const std::string& path, const std::string& bytes);
// The files written with WriteNewFile reach the disk; false when that could
// not be made sure.
bool SyncNewFiles(const std::vector<std::string>& paths);

}  // namespace tanavo

// Loading the mobile file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace tanavo {

struct Workspace;

// Menu command: asks for a file and loads it.
void OpenMobileFile(Workspace& ws);
// Loads the file at path as the mobile file; shows the failure boxes itself.
// Returns true when loaded. Also used by index file loading.
bool LoadMobileFile(Workspace& ws, const std::string& path);
// Reads the file at path into the mobile file as loading does, leaving the
// path parts and the status bar to the caller (index file loading); failure
// boxes carry the caption. True when loaded; opened false when the file could
// not be opened at all. A mobile file loaded before is let go before the read
// when a file is at path, so it is gone even if that read then fails.
bool ReloadMobileFile(Workspace& ws, const std::string& path, const std::string& failureCaption, bool* opened = nullptr);
// ReloadMobileFile for a file of up to heldBytes; a larger one is opened
// for reading in pieces into *reader instead of held (the mobile file held
// stays empty), with the same failure boxes.
bool OpenMobileFileReader(Workspace& ws, const std::string& path, const std::string& failureCaption,
                          std::uint64_t heldBytes, std::unique_ptr<FileReader>* reader, bool* opened = nullptr);

}  // namespace tanavo

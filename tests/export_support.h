// Shared by the tests of the export: whole files written, and the evidence of
// a generated mail dump written to disk.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "mail_records.h"

namespace tanavo {

inline void WriteFileBytes(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

// The program's mobile file and settings as base.dat, base.kta and base.kdp
// in folder.
inline void WriteEvidence(const App& app, const std::filesystem::path& folder, const std::string& base) {
  WriteFileBytes(folder / (base + ".dat"), app.state.mobileFile);
  std::string kta;
  for (int i = 0; i < UsedCount(app.extraction); ++i) kta += EncodeEntry(app.extraction.entries[i]);
  WriteFileBytes(folder / (base + ".kta"), kta);
  WriteFileBytes(folder / (base + ".kdp"), BuildDisplaySettingsFile(app.display.listLineTemplate, app.display.layoutText));
}

}  // namespace tanavo

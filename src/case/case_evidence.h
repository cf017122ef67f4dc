// The evidence a case is built from, hashed as it is loaded: the mobile file
// from memory (the bytes the records come from), the index and both settings
// files from their files.
#pragma once

#include <string>
#include <vector>

#include "case/case_file.h"
#include "text/path.h"

namespace tanavo {

struct Workspace;

// The case file beside an index file: its name with .tcase for its extension.
std::string CasePathOfIndex(const PathParts& index, char separator);

// False when a file cannot be read or hashed.
bool WorkspaceEvidence(const Workspace& ws, const std::string& indexPath, char separator,
                       std::vector<CaseEvidence>* all);

}  // namespace tanavo

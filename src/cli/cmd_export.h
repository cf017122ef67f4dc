// tanavo-cli export: the export (export/export.h) on the console, its
// progress and findings on standard error.
#pragma once

#include <string>

#include "export/export.h"

namespace tanavo {

struct CliContext;

// Exports the index at indexPath into outDir as RunExport does, through
// ctx's platform and its file system; the findings of the coverage, a
// record the choice names that the index lacks, the progress and the
// closing line on standard error. kExitOk, or kExitFailed after saying why.
int ExportIndex(CliContext& ctx, const std::string& indexPath, const std::string& outDir,
                ExportTimes* times = nullptr, const RecordChoice& choice = RecordChoice(), bool partial = false,
                const std::string& casePath = std::string(), bool tagged = false);

}  // namespace tanavo

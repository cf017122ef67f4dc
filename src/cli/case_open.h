// The case file as every command opens one that was built: refused, after a
// box saying why, when it is no case, unfinished or its evidence changed.
#pragma once

#include <memory>
#include <string>

#include "case/case_file.h"
#include "cli/cli.h"

namespace tanavo {

constexpr const char* kCaseCaption = "ケースファイル";

void CaseBox(CliContext& ctx, const std::string& text);
// An existing, built case whose evidence is as it was built from. Evidence
// that changed refuses the case; evidence not found where it was (a case
// carried to another machine) is said and the case used.
bool OpenBuiltCase(CliContext& ctx, const std::string& path, std::unique_ptr<CaseFile>* c);

}  // namespace tanavo

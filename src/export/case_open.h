// The case file as every command opens one that was built: refused, after a
// box saying why, when it is no case, unfinished or its evidence changed.
#pragma once

#include <memory>
#include <string>

#include "case/case_file.h"
#include "platform/platform.h"

namespace tanavo {

constexpr const char* kCaseCaption = "ケースファイル";

void CaseBox(Platform& p, const std::string& text);
// Opens the case at path (made when create and missing); false after the
// box saying why not.
bool OpenCase(Platform& p, const std::string& path, bool create, std::unique_ptr<CaseFile>* c);
// An existing, built case whose evidence is as it was built from. Evidence
// that changed refuses the case; evidence not found where it was (a case
// carried to another machine) is said and the case used.
bool OpenBuiltCase(Platform& p, const std::string& path, std::unique_ptr<CaseFile>* c);

}  // namespace tanavo

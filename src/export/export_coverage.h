// The coverage section of report.html: how much of the mobile file the
// exported records hold, and every finding with its offset. It leads the
// report, so that nothing left out is read past.
#pragma once

#include <cstdint>
#include <string>

#include "state/coverage.h"

namespace tanavo {

// The section as HTML in UTF-8; exported is the number of records written.
std::string ReportCoverage(const Coverage& c, int32_t exported);

}  // namespace tanavo

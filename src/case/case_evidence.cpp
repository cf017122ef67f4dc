#include "case/case_evidence.h"

#include "platform/digest.h"
#include "state/workspace.h"
#include "text/path.h"

namespace tanavo {

std::string CasePathOfIndex(const PathParts& index, char separator) {
  PathParts p = index;
  p.extension = std::string(kCaseFileExtension).substr(1);
  return OpenablePath(p, separator);
}

bool WorkspaceEvidence(const Workspace& ws, const std::string& indexPath, char separator,
                       std::vector<CaseEvidence>* all) {
  CaseEvidence mobile{"mobile", OpenablePath(ws.state.mobileFilePath, separator), ws.state.mobileFile.size(), ""};
  Sha256Digest d;
  if (!Sha256OfBytes(ws.state.mobileFile, &d)) return false;
  mobile.sha256 = HexDigest(d);
  all->push_back(mobile);
  const std::pair<const char*, std::string> files[] = {
      {"index", indexPath},
      {"extraction", OpenablePath(ws.state.extractionFilePath, separator)},
      {"display", OpenablePath(ws.state.displayFilePath, separator)}};
  for (const auto& f : files) {
    CaseEvidence e{f.first, f.second, 0, ""};
    if (!HashFile(e.path, &e.sha256, &e.size)) return false;
    all->push_back(e);
  }
  return true;
}

}  // namespace tanavo

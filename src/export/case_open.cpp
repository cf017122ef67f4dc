#include "export/case_open.h"

namespace tanavo {

// Opens the case at path; false after the box saying why not.
bool OpenCase(Platform& p, const std::string& path, bool create, std::unique_ptr<CaseFile>* c) {
  switch (CaseFile::Open(path, create, c)) {
    case CaseOpenStatus::Ok: return true;
    case CaseOpenStatus::NotFound: ShowOpenFailure(p, kCaseCaption); return false;
    case CaseOpenStatus::NotACase: CaseBox(p, "ケースファイルではありません!!\r\n" + path); return false;
    case CaseOpenStatus::Damaged: CaseBox(p, "ケースファイルが壊れています!!\r\n" + path); return false;
    case CaseOpenStatus::CannotOpen: ShowOpenFailure(p, kCaseCaption); return false;
  }
  return false;
}

void CaseBox(Platform& p, const std::string& text) {
  p.MessageBox(BoxOwner::Main, text, kCaseCaption, BoxIcon::Warning);
}

bool OpenBuiltCase(Platform& p, const std::string& path, std::unique_ptr<CaseFile>* c) {
  if (!OpenCase(p, path, false, c)) return false;
  if (!(*c)->Built()) {
    CaseBox(p, "ケースファイルは作成が終わっていません!!\r\n" + path);
    return false;
  }
  bool changed = false;
  for (const EvidenceCheck& e : (*c)->CheckEvidence()) {
    if (e.state == EvidenceState::Changed) {
      CaseBox(p, "ケースファイルの作成後に証拠ファイルが変更されています!!\r\n" + e.evidence.path);
      changed = true;
    } else if (e.state == EvidenceState::Missing) {
      p.Note("証拠ファイルが見つからないため照合していません: " + e.evidence.path);
    }
  }
  return !changed;
}

}  // namespace tanavo

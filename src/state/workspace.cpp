#include "state/workspace.h"

namespace tanavo {

Workspace::Workspace(Platform& p) : Workspace(p, p.Files()) {}

Workspace::Workspace(Platform& p, FileSystem& fs) : platform(p), files(fs), stack(p, extraction, state.mobileFile) {}

}  // namespace tanavo

#include "state/workspace.h"

namespace tanavo {

Workspace::Workspace(Platform& p) : platform(p), stack(p, extraction, state.mobileFile) {}

}  // namespace tanavo

#ifndef _WIN32
#include "platform/console/utf8.h"
#include "platform/file_name_key.h"

namespace tanavo {

std::string RealFileNameKey(const std::string& name) { return NativeFileName(name); }

}  // namespace tanavo
#endif

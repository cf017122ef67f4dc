// Names as the real file system compares them, for the back ends that write
// real files (one implementation per system).
#pragma once

#include <string>

namespace tanavo {

// The key of a Shift_JIS file name: on POSIX the UTF-8 name the file gets
// (two spellings of one character in code page 932 become one name); on
// Windows the UTF-16 name, upper-cased as the file system ignores case, in
// UTF-8.
std::string RealFileNameKey(const std::string& name);

}  // namespace tanavo

// What loading a file by its path came to.
#pragma once

namespace tanavo {

enum class FileLoad {
  Loaded,
  CannotOpen,   // not there, or not readable
  TooLarge,     // over kMaxFileBytes
  NotThisKind,  // read, but not a file of its kind (display settings)
};

}  // namespace tanavo

// Folder inspection on Windows through the ANSI API.
#include <windows.h>

#include <cstring>

#include "platform/folders.h"

namespace tanavo {

FolderState InspectFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD e = GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? FolderState::Missing : FolderState::NotAFolder;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return FolderState::NotAFolder;
  // Always a separator of its own: a last byte 0x5C may be the trail byte of
  // a double-byte character, and an extra one is harmless.
  const std::string pattern = path + "\\*";
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA(pattern.c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return FolderState::NotAFolder;
  FolderState state = FolderState::Empty;
  do {
    if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
      state = FolderState::NotEmpty;
      break;
    }
  } while (FindNextFileA(h, &found));
  FindClose(h);
  return state;
}

}  // namespace tanavo

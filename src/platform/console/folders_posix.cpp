// Folder inspection for tanavo-cli on Linux.
#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/folders.h"

namespace tanavo {

FolderState InspectFolder(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? FolderState::Missing : FolderState::NotAFolder;
  if (!S_ISDIR(st.st_mode)) return FolderState::NotAFolder;
  DIR* d = ::opendir(path.c_str());
  if (!d) return FolderState::NotAFolder;
  FolderState state = FolderState::Empty;
  while (const dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
      state = FolderState::NotEmpty;
      break;
    }
  }
  ::closedir(d);
  return state;
}

}  // namespace tanavo
#endif

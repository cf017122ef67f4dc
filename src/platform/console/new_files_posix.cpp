// New files of the export for tanavo-cli on Linux.
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/new_files.h"

namespace tanavo {

WriteStatus WriteNewFile(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return WriteStatus::CannotCreate;
  bool ok = true;
  for (std::size_t put = 0; put < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + put, bytes.size() - put);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    put += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) ok = false;
  if (!ok) {
    ::unlink(path.c_str());  // no file that looks whole and is not
    return WriteStatus::WriteFailed;
  }
  return WriteStatus::Ok;
}

bool SyncNewFiles(const std::vector<std::string>& paths) {
  if (paths.empty()) return true;
#ifdef __linux__
  // One flush of the file system that holds them all (one folder) instead of
  // one per file; it reports write-back errors since Linux 5.8.
  const int fd = ::open(paths.front().c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::syncfs(fd) == 0;
  ::close(fd);
  return ok;
#else
  for (const std::string& p : paths) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    if (!ok) return false;
  }
  return true;
#endif
}

}  // namespace tanavo
#endif

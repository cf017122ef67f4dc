// POSIX file access for tanavo-cli on Linux.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/files.h"

namespace tanavo {

ReadStatus ReadRealFile(const std::string& path, std::string* bytes) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return ReadStatus::CannotOpen;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return ReadStatus::CannotOpen;
  }
  if (static_cast<unsigned long long>(st.st_size) > kMaxFileBytes) {
    ::close(fd);
    return ReadStatus::TooLarge;
  }
  std::string data;
  try {
    data.resize(static_cast<std::size_t>(st.st_size));
  } catch (const std::bad_alloc&) {
    ::close(fd);
    return ReadStatus::TooLarge;
  }
  std::size_t got = 0;
  while (got < data.size()) {
    ssize_t n = ::read(fd, &data[got], data.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // a short read leaves the rest as 0x00
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes->swap(data);
  return ReadStatus::Ok;
}

WriteStatus WriteRealFileReplacing(const std::string& path, const std::string& bytes) {
  std::string temp = path + ".tanavo-tmp";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return WriteStatus::CannotCreate;
  std::size_t put = 0;
  bool ok = true;
  while (put < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + put, bytes.size() - put);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    put += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) ok = false;
  if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return WriteStatus::WriteFailed;
  }
  return WriteStatus::Ok;
}

bool RealFileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool CreateRealNewEmptyFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::string RealCurrentDirectory() {
  char buf[PATH_MAX];
  if (!::getcwd(buf, sizeof buf)) return std::string();
  return buf;
}

std::string MakeAbsolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  return RealCurrentDirectory() + "/" + path;
}

char RealPathSeparator() { return '/'; }

bool CreateRealFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  struct stat st;
  return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string RealLastErrorText() {
  const int e = errno;
  return e != 0 ? std::string(std::strerror(e)) : std::string("unknown error");
}

}  // namespace tanavo
#endif

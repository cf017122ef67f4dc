// POSIX file access for tanavo-cli on Linux.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/files.h"

namespace tanavo {

namespace {

// Writes all bytes, across short writes; false on any error.
bool WriteAll(int fd, const std::string& bytes) {
  std::size_t put = 0;
  while (put < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + put, bytes.size() - put);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    put += static_cast<std::size_t>(n);
  }
  return true;
}

// The permission bits a replaced file keeps, or those a new file gets from
// the user's umask.
mode_t ModeForSave(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Asks for huge pages under a large buffer before it is first written: a
// mobile file of 50 MiB is then faulted in some 25 steps, not 13 000, which
// on some machines cost more than indexing the file. Only a hint.
void PreferHugePages(char* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kHugePage = 2u << 20;
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHugePage - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

}  // namespace

ReadStatus ReadOpenFile(int fd, std::string* bytes) {
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return ReadStatus::CannotOpen;
  if (static_cast<unsigned long long>(st.st_size) > kMaxFileBytes) return ReadStatus::TooLarge;
  std::string data;
  try {
    data.reserve(static_cast<std::size_t>(st.st_size));
    PreferHugePages(data.data(), data.capacity());
    data.resize(static_cast<std::size_t>(st.st_size));
  } catch (const std::bad_alloc&) {
    return ReadStatus::TooLarge;
  }
  std::size_t got = 0;
  while (got < data.size()) {
    ssize_t n = ::read(fd, &data[got], data.size() - got);
    if (n < 0 && errno == EINTR) continue;
    // A failed read, or a file that ended early, gives no whole copy: it is
    // refused like a file that cannot be opened, and nothing changes.
    if (n <= 0) return ReadStatus::CannotOpen;
    got += static_cast<std::size_t>(n);
  }
  bytes->swap(data);
  return ReadStatus::Ok;
}

ReadStatus ReadRealFile(const std::string& path, std::string* bytes) {
  // Opening a FIFO waits for a writer: it is opened without waiting and then
  // refused as not a regular file. Reads from a regular file never wait.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return ReadStatus::CannotOpen;
  ReadStatus rs = ReadOpenFile(fd, bytes);
  ::close(fd);
  return rs;
}

namespace {

class PosixFileReader : public SystemFileReader {
 public:
  PosixFileReader(int fd, std::uint64_t size) : SystemFileReader(size), fd_(fd) {}
  ~PosixFileReader() override { ::close(fd_); }
  PosixFileReader(const PosixFileReader&) = delete;
  PosixFileReader& operator=(const PosixFileReader&) = delete;

 protected:
  std::size_t ReadPart(std::uint64_t offset, char* into, std::size_t want) override {
    for (;;) {
      const ssize_t n = ::pread(fd_, into, want, static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      return n > 0 ? static_cast<std::size_t>(n) : 0;
    }
  }

 private:
  int fd_;
};

}  // namespace

ReadStatus OpenRealFileReader(const std::string& path, std::unique_ptr<FileReader>* reader) {
  // Opened as ReadRealFile opens it: a FIFO is refused, not waited for.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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
  *reader = std::make_unique<PosixFileReader>(fd, static_cast<std::uint64_t>(st.st_size));
  return ReadStatus::Ok;
}

WriteStatus WriteRealFileReplacing(const std::string& path, const std::string& bytes) {
  // A name of its own, created exclusively beside the target: nothing planted
  // at a known name can be written through.
  std::string temp = path + ".tanavo-XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return WriteStatus::CannotCreate;
  temp.assign(name.data());
  bool ok = ::fchmod(fd, ModeForSave(path)) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
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

// A network file system is mounted by the administrator, not reached by a
// path's spelling, and opening a file there sends nothing of the user's.
bool RealReachesNetwork(const std::string&) { return false; }

bool RealIsSpecialFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool CreateRealNewEmptyFile(const std::string& path) {
  // O_EXCL already refuses a link at the name; O_NOFOLLOW says so.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
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
  // A working directory that cannot be read (too deep, or removed) leaves the
  // path relative: it is then opened against the real working directory, and
  // never against another folder.
  std::string cwd = RealCurrentDirectory();
  if (cwd.empty()) return path;
  return cwd + "/" + path;
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

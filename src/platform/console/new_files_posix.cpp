// New files of the export for tanavo-cli on Linux.
#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/new_files.h"

namespace tanavo {

namespace {

constexpr std::size_t kReadBackBytes = 1 << 20;
constexpr int kScratchNameTries = 100;

// Writes all bytes, across short writes; false on any error.
bool WriteAll(int fd, const char* bytes, std::size_t size) {
  for (std::size_t put = 0; put < size;) {
    const ssize_t n = ::write(fd, bytes + put, size - put);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    put += static_cast<std::size_t>(n);
  }
  return true;
}

// Writes everything to one open file.
struct WriteTo {
  int target;
  bool operator()(const char* bytes, std::size_t size) const { return WriteAll(target, bytes, size); }
};
using Gathered = GatheredWriter<WriteTo>;

class PosixNewFile : public NewFile {
 public:
  PosixNewFile(int dir, std::string name, int fd) : dir_(dir), name_(std::move(name)), fd_(fd), out_(WriteTo{fd}) {}
  ~PosixNewFile() override {
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlinkat(dir_, name_.c_str(), 0);  // never finished: no file that looks whole and is not
  }
  bool Append(std::string_view bytes) override { return fd_ >= 0 && out_.Append(bytes); }
  bool Finish() override {
    if (fd_ < 0) return false;
    bool ok = out_.Flush();
#ifndef __linux__
    // Without a flush of the whole file system, each file is flushed itself.
    if (ok) ok = ::fsync(fd_) == 0;
#endif
    if (::close(fd_) != 0) ok = false;
    fd_ = -1;
    if (!ok) ::unlinkat(dir_, name_.c_str(), 0);
    return ok;
  }

 private:
  int dir_;  // the folder's descriptor, held by its OutputFolder
  std::string name_;
  int fd_;
  Gathered out_;
};

class PosixScratchFile : public ScratchFile {
 public:
  explicit PosixScratchFile(int fd) : fd_(fd), out_(WriteTo{fd}) {}
  ~PosixScratchFile() override { ::close(fd_); }
  bool Append(std::string_view bytes) override { return out_.Append(bytes); }
  bool ReadBack(const std::function<bool(std::string_view)>& each) override {
    if (!out_.Flush()) return false;
    std::string piece(kReadBackBytes, '\0');
    for (off_t at = 0;;) {
      const ssize_t n = ::pread(fd_, &piece[0], piece.size(), at);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) return true;
      if (!each(std::string_view(piece.data(), static_cast<std::size_t>(n)))) return false;
      at += n;
    }
  }

 private:
  int fd_;
  Gathered out_;
};

// A folder open as a descriptor of its own (O_NOFOLLOW: never through a link).
int OpenFolderAt(int dir, const char* name) {
  return ::openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool HoldsAnything(int fd) {
  const int copy = ::dup(fd);  // closedir closes the descriptor it reads
  if (copy < 0) return true;
  DIR* d = ::fdopendir(copy);
  if (!d) {
    ::close(copy);
    return true;
  }
  bool any = false;
  while (const dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
      any = true;
      break;
    }
  }
  ::closedir(d);
  return any;
}

class PosixOutputFolder : public OutputFolder {
 public:
  PosixOutputFolder(std::string path, int fd) : OutputFolder(std::move(path)), fd_(fd) {}
  ~PosixOutputFolder() override { ::close(fd_); }

  std::unique_ptr<OutputFolder> MakeFolder(const std::string& name) override {
    if (::mkdirat(fd_, name.c_str(), 0755) != 0) return nullptr;
    const int fd = OpenFolderAt(fd_, name.c_str());
    if (fd < 0) return nullptr;
    return std::make_unique<PosixOutputFolder>(Path() + "/" + name, fd);
  }

  std::unique_ptr<NewFile> Create(const std::string& name, bool* exists) override {
    // O_EXCL creates the file or fails; with O_NOFOLLOW not even a dangling
    // link at the name is followed.
    const int fd = ::openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (exists) *exists = fd < 0 && errno == EEXIST;
    if (fd < 0) return nullptr;
    return std::make_unique<PosixNewFile>(fd_, name, fd);
  }

  std::unique_ptr<ScratchFile> CreateScratch() override {
#ifdef O_TMPFILE
    const int unnamed = ::openat(fd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed >= 0) return std::make_unique<PosixScratchFile>(unnamed);
#endif
    // A name of its own, removed at once: the descriptor is all that is left.
    for (int i = 0; i < kScratchNameTries; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, ".scratch-%ld-%d", static_cast<long>(::getpid()), i);
      const int fd = ::openat(fd_, name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd < 0) {
        if (errno == EEXIST) continue;
        return nullptr;
      }
      ::unlinkat(fd_, name, 0);
      return std::make_unique<PosixScratchFile>(fd);
    }
    return nullptr;
  }

  bool Sync() override {
#ifdef __linux__
    // One flush of the file system that holds them all instead of one per
    // file; it reports write-back errors since Linux 5.8.
    return ::syncfs(fd_) == 0;
#else
    return ::fsync(fd_) == 0;  // the files were flushed as they were finished
#endif
  }

 private:
  int fd_;
};

}  // namespace

FolderOpen OutputFolder::Open(const std::string& path, bool emptyOnly, std::unique_ptr<OutputFolder>* folder,
                              bool* made) {
  const bool created = ::mkdir(path.c_str(), 0755) == 0;
  if (made) *made = created;
  if (!created && errno != EEXIST) return FolderOpen::CannotCreate;
  const int fd = OpenFolderAt(AT_FDCWD, path.c_str());
  if (fd < 0) return FolderOpen::NotAFolder;  // a link (ELOOP), a file (ENOTDIR), or unreadable
  if (emptyOnly && HoldsAnything(fd)) {
    ::close(fd);
    return FolderOpen::NotEmpty;
  }
  *folder = std::make_unique<PosixOutputFolder>(path, fd);
  return FolderOpen::Ok;
}

WriteStatus WriteNewFile(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return WriteStatus::CannotCreate;
  bool ok = WriteAll(fd, bytes.data(), bytes.size());
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

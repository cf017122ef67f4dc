// New files of the export on Windows through the ANSI API.
#include <windows.h>

#include "platform/new_files.h"

namespace tanavo {

namespace {

constexpr DWORD kWritePieceBytes = 1 << 30;  // WriteFile counts in DWORD
constexpr DWORD kReadBackBytes = 1 << 20;
constexpr int kScratchNameTries = 100;

bool WriteAll(HANDLE h, const char* bytes, std::size_t size) {
  for (std::size_t at = 0; at < size;) {
    const std::size_t left = size - at;
    const DWORD n = left < kWritePieceBytes ? static_cast<DWORD>(left) : kWritePieceBytes;
    DWORD put = 0;
    if (!WriteFile(h, bytes + at, n, &put, nullptr) || put != n) return false;
    at += put;
  }
  return true;
}

// Whether the open handle is what was asked for and no reparse point (a
// junction or symbolic link planted at the name).
bool IsPlain(HANDLE h, bool folder) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(h, &info)) return false;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
  return ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folder;
}

// A folder opened as itself (never through a reparse point) and held
// without FILE_SHARE_DELETE: while the handle is open, neither it nor a
// folder above it can be renamed or removed, so its path names it.
HANDLE OpenFolderHandle(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return h;
  if (!IsPlain(h, true)) {
    CloseHandle(h);
    return INVALID_HANDLE_VALUE;
  }
  return h;
}

bool HoldsAnything(const std::string& path) {
  // Always a separator of its own: a last byte 0x5C may be the trail byte of
  // a double-byte character, and an extra one is harmless.
  WIN32_FIND_DATAA found;
  HANDLE f = FindFirstFileA((path + "\\*").c_str(), &found);
  if (f == INVALID_HANDLE_VALUE) return true;
  bool any = false;
  do {
    if (lstrcmpA(found.cFileName, ".") != 0 && lstrcmpA(found.cFileName, "..") != 0) {
      any = true;
      break;
    }
  } while (FindNextFileA(f, &found));
  FindClose(f);
  return any;
}

// Writes everything to one open file.
struct WriteTo {
  HANDLE target;
  bool operator()(const char* bytes, std::size_t size) const { return WriteAll(target, bytes, size); }
};
using Gathered = GatheredWriter<WriteTo>;

class Win32NewFile : public NewFile {
 public:
  Win32NewFile(std::string path, HANDLE h) : path_(std::move(path)), h_(h), out_(WriteTo{h}) {}
  ~Win32NewFile() override {
    if (h_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(h_);
    DeleteFileA(path_.c_str());  // never finished: no file that looks whole and is not
  }
  bool Append(std::string_view bytes) override { return h_ != INVALID_HANDLE_VALUE && out_.Append(bytes); }
  bool Finish() override {
    if (h_ == INVALID_HANDLE_VALUE) return false;
    // Windows flushes a file, or a whole volume only for administrators.
    bool ok = out_.Flush() && FlushFileBuffers(h_) != 0;
    if (!CloseHandle(h_)) ok = false;
    h_ = INVALID_HANDLE_VALUE;
    if (!ok) DeleteFileA(path_.c_str());
    return ok;
  }

 private:
  std::string path_;
  HANDLE h_;
  Gathered out_;
};

class Win32ScratchFile : public ScratchFile {
 public:
  explicit Win32ScratchFile(HANDLE h) : h_(h), out_(WriteTo{h}) {}
  ~Win32ScratchFile() override { CloseHandle(h_); }  // FILE_FLAG_DELETE_ON_CLOSE removes it
  bool Append(std::string_view bytes) override { return out_.Append(bytes); }
  bool ReadBack(const std::function<bool(std::string_view)>& each) override {
    if (!out_.Flush()) return false;
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(h_, start, nullptr, FILE_BEGIN)) return false;
    std::string piece(kReadBackBytes, '\0');
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(h_, &piece[0], kReadBackBytes, &got, nullptr)) return false;
      if (got == 0) return true;
      if (!each(std::string_view(piece.data(), got))) return false;
    }
  }

 private:
  HANDLE h_;
  Gathered out_;
};

class Win32OutputFolder : public OutputFolder {
 public:
  Win32OutputFolder(std::string path, HANDLE h) : OutputFolder(std::move(path)), h_(h) {}
  ~Win32OutputFolder() override { CloseHandle(h_); }

  // Children are created by path under the held folder; each is checked on
  // its own handle to be no reparse point.
  std::unique_ptr<OutputFolder> MakeFolder(const std::string& name) override {
    const std::string path = Child(name);
    if (!CreateDirectoryA(path.c_str(), nullptr)) return nullptr;
    HANDLE h = OpenFolderHandle(path);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32OutputFolder>(path, h);
  }

  std::unique_ptr<NewFile> Create(const std::string& name, bool* exists) override {
    const std::string path = Child(name);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (exists) {
      const DWORD e = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
      *exists = e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS;
    }
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    if (!IsPlain(h, false)) {
      CloseHandle(h);
      return nullptr;
    }
    return std::make_unique<Win32NewFile>(path, h);
  }

  std::unique_ptr<ScratchFile> CreateScratch() override {
    for (int i = 0; i < kScratchNameTries; ++i) {
      const std::string path =
          Child(".scratch-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(i));
      // No sharing: nobody else opens it; it goes when closed.
      HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                             nullptr);
      if (h != INVALID_HANDLE_VALUE) return std::make_unique<Win32ScratchFile>(h);
      if (GetLastError() != ERROR_FILE_EXISTS) return nullptr;
    }
    return nullptr;
  }

  bool Sync() override { return true; }  // each file was flushed as it was finished

 private:
  std::string Child(const std::string& name) const { return Path() + "\\" + name; }
  HANDLE h_;
};

}  // namespace

FolderOpen OutputFolder::Open(const std::string& path, bool emptyOnly, std::unique_ptr<OutputFolder>* folder,
                              bool* made) {
  const bool created = CreateDirectoryA(path.c_str(), nullptr) != 0;
  if (made) *made = created;
  if (!created && GetLastError() != ERROR_ALREADY_EXISTS) return FolderOpen::CannotCreate;
  HANDLE h = OpenFolderHandle(path);
  if (h == INVALID_HANDLE_VALUE) return FolderOpen::NotAFolder;
  if (emptyOnly && HoldsAnything(path)) {
    CloseHandle(h);
    return FolderOpen::NotEmpty;
  }
  *folder = std::make_unique<Win32OutputFolder>(path, h);
  return FolderOpen::Ok;
}

WriteStatus WriteNewFile(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return WriteStatus::CannotCreate;
  bool ok = WriteAll(h, bytes.data(), bytes.size());
  if (!CloseHandle(h)) ok = false;
  if (!ok) {
    DeleteFileA(path.c_str());  // no file that looks whole and is not
    return WriteStatus::WriteFailed;
  }
  return WriteStatus::Ok;
}

bool SyncNewFiles(const std::vector<std::string>& paths) {
  // Windows flushes a file, or a whole volume only for administrators.
  for (const std::string& p : paths) {
    HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = FlushFileBuffers(h) != 0;
    CloseHandle(h);
    if (!ok) return false;
  }
  return true;
}

}  // namespace tanavo

// File access on Windows through the ANSI API (paths are Shift_JIS bytes).
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>

#include "platform/files.h"
#include "text/path.h"

namespace tanavo {

namespace {

// Tries this many names before a save gives up on its temporary file.
constexpr int kTempNameTries = 100;

// Creates a file of a name no other file has, beside the target; the name is
// returned in temp. CREATE_NEW never opens what is already there, a planted
// link included.
HANDLE CreateUniqueTemp(const std::string& path, std::string* temp) {
  static unsigned counter = 0;
  for (int i = 0; i < kTempNameTries; ++i) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".tanavo-%lx-%lx-%x", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long>(GetTickCount()), ++counter);
    *temp = path + suffix;
    HANDLE h = CreateFileA(temp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    DWORD e = GetLastError();
    if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

// Writes all bytes, across short writes and in pieces a DWORD can count.
bool WriteAll(HANDLE h, const std::string& bytes) {
  constexpr std::size_t kPiece = 1u << 30;
  std::size_t put = 0;
  while (put < bytes.size()) {
    DWORD n = 0;
    DWORD want = static_cast<DWORD>(bytes.size() - put < kPiece ? bytes.size() - put : kPiece);
    if (!WriteFile(h, bytes.data() + put, want, &n, nullptr) || n == 0) return false;
    put += n;
  }
  return true;
}

class Win32FileReader : public SystemFileReader {
 public:
  Win32FileReader(HANDLE h, std::uint64_t size) : SystemFileReader(size), h_(h) {}
  ~Win32FileReader() override { CloseHandle(h_); }
  Win32FileReader(const Win32FileReader&) = delete;
  Win32FileReader& operator=(const Win32FileReader&) = delete;

 protected:
  std::size_t ReadPart(std::uint64_t offset, char* into, std::size_t want) override {
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(want, kMaxFileBytes));
    return ReadFile(h_, into, ask, &n, &o) ? n : 0;
  }

 private:
  HANDLE h_;
};

// Opens path for reading when it is a file on a disk of at most
// kMaxFileBytes, giving its handle and size.
ReadStatus OpenDiskFile(const std::string& path, HANDLE* handle, std::uint64_t* size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return ReadStatus::CannotOpen;
  // A pipe, console or device is no file to read: it may never end.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    SetLastError(ERROR_NOT_SUPPORTED);  // what the failure box's error text then says
    return ReadStatus::CannotOpen;
  }
  LARGE_INTEGER bytes{};
  if (!GetFileSizeEx(h, &bytes)) {
    CloseHandle(h);
    return ReadStatus::CannotOpen;
  }
  if (bytes.QuadPart < 0 || static_cast<unsigned long long>(bytes.QuadPart) > kMaxFileBytes) {
    CloseHandle(h);
    return ReadStatus::TooLarge;
  }
  *handle = h;
  *size = static_cast<std::uint64_t>(bytes.QuadPart);
  return ReadStatus::Ok;
}

}  // namespace

ReadStatus OpenRealFileReader(const std::string& path, std::unique_ptr<FileReader>* reader) {
  HANDLE h = INVALID_HANDLE_VALUE;
  std::uint64_t size = 0;
  const ReadStatus rs = OpenDiskFile(path, &h, &size);
  if (rs == ReadStatus::Ok) *reader = std::make_unique<Win32FileReader>(h, size);
  return rs;
}

ReadStatus ReadRealFile(const std::string& path, std::string* bytes) {
  HANDLE h = INVALID_HANDLE_VALUE;
  std::uint64_t size = 0;
  const ReadStatus rs = OpenDiskFile(path, &h, &size);
  if (rs != ReadStatus::Ok) return rs;
  std::string data;
  try {
    data.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    CloseHandle(h);
    return ReadStatus::TooLarge;
  }
  std::size_t got = 0;
  while (got < data.size()) {
    DWORD n = 0;
    // A failed read, or a file that ended early, gives no whole copy: it is
    // refused like a file that cannot be opened, and nothing changes.
    if (!ReadFile(h, &data[got], static_cast<DWORD>(data.size() - got), &n, nullptr) || n == 0) {
      CloseHandle(h);
      return ReadStatus::CannotOpen;
    }
    got += n;
  }
  CloseHandle(h);
  bytes->swap(data);
  return ReadStatus::Ok;
}

WriteStatus WriteRealFileReplacing(const std::string& path, const std::string& bytes) {
  std::string temp;
  HANDLE h = CreateUniqueTemp(path, &temp);
  if (h == INVALID_HANDLE_VALUE) return WriteStatus::CannotCreate;
  bool ok = WriteAll(h, bytes) && FlushFileBuffers(h);
  if (!CloseHandle(h)) ok = false;
  // ReplaceFile keeps what the old file carried (attributes, security);
  // a new target is simply moved into place.
  if (ok) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
      ok = ReplaceFileA(path.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    } else {
      ok = MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
    }
  }
  if (!ok) {
    DeleteFileA(temp.c_str());
    return WriteStatus::WriteFailed;
  }
  return WriteStatus::Ok;
}

bool RealFileExists(const std::string& path) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(path.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  return true;
}

bool RealIsSpecialFile(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  // Wine gives a POSIX FIFO a file's attributes, but refuses to open it
  // (without waiting): it fails as a file that cannot be opened.
  return (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0;
}

bool RealReachesNetwork(const std::string& path) {
  // The path as Windows completes it against the current folder and drive:
  // a relative path inside a share is a path of that share.
  std::string full(MAX_PATH, '\0');
  DWORD n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
  if (n >= full.size()) {
    full.assign(n, '\0');
    n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
  }
  if (n == 0 || n >= full.size()) return false;
  full.resize(n);
  if (NamesNetworkPath(full)) return true;
  if (full.size() >= 3 && full[1] == ':' && (full[2] == '\\' || full[2] == '/')) {
    const char root[] = {full[0], ':', '\\', '\0'};
    if (GetDriveTypeA(root) == DRIVE_REMOTE) return true;
  }
  // A link on this computer may still lead to a share: the final path of an
  // open handle says where the file really is (\\?\UNC\... for a share).
  const DWORD a = GetFileAttributesA(full.c_str());
  if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DEVICE) != 0) return false;
  HANDLE h = CreateFileA(full.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  constexpr DWORD kFinalPathBytes = 32768;  // the longest path Windows has
  std::string finalPath(kFinalPathBytes, '\0');
  const DWORD got = GetFinalPathNameByHandleA(h, &finalPath[0], kFinalPathBytes, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(h);
  if (got == 0 || got >= kFinalPathBytes) return false;
  finalPath.resize(got);
  return NamesNetworkPath(finalPath);
}

bool CreateRealNewEmptyFile(const std::string& path) {
  // CREATE_NEW fails on anything already at the name, a link included.
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

std::string RealCurrentDirectory() {
  char buf[MAX_PATH] = {};
  DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  if (n == 0 || n >= sizeof buf) return std::string();
  return std::string(buf, n);
}

std::string MakeAbsolute(const std::string& path) {
  char buf[MAX_PATH] = {};
  DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
  if (n == 0 || n >= sizeof buf) return path;
  return std::string(buf, n);
}

char RealPathSeparator() { return '\\'; }

bool CreateRealFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string RealLastErrorText() {
  const DWORD e = GetLastError();
  char buf[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, e, 0, buf,
                           sizeof buf, nullptr);
  if (n == 0 || n >= sizeof buf) return "error " + std::to_string(e);
  return std::string(buf, n);
}

}  // namespace tanavo

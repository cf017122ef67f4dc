// File access on Windows through the ANSI API (paths are Shift_JIS bytes).
#include <windows.h>

#include <new>

#include "platform/files.h"

namespace tanavo {

ReadStatus ReadRealFile(const std::string& path, std::string* bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return ReadStatus::CannotOpen;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h, &size)) {
    CloseHandle(h);
    return ReadStatus::CannotOpen;
  }
  if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > kMaxFileBytes) {
    CloseHandle(h);
    return ReadStatus::TooLarge;
  }
  std::string data;
  try {
    data.resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    CloseHandle(h);
    return ReadStatus::TooLarge;
  }
  DWORD got = 0;
  if (!data.empty()) ReadFile(h, &data[0], static_cast<DWORD>(data.size()), &got, nullptr);
  // A short read leaves the rest of the buffer as 0x00.
  CloseHandle(h);
  bytes->swap(data);
  return ReadStatus::Ok;
}

WriteStatus WriteRealFileReplacing(const std::string& path, const std::string& bytes) {
  std::string temp = path + ".tanavo-tmp";
  HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return WriteStatus::CannotCreate;
  DWORD put = 0;
  BOOL ok = TRUE;
  if (!bytes.empty()) ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  if (!CloseHandle(h)) ok = FALSE;
  if (!ok || put != bytes.size() || !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
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

bool CreateRealNewEmptyFile(const std::string& path) {
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

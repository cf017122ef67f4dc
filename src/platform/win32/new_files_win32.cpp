// New files of the export on Windows through the ANSI API.
#include <windows.h>

#include "platform/new_files.h"

namespace tanavo {

namespace {

constexpr DWORD kWritePieceBytes = 1 << 30;  // WriteFile counts in DWORD

}  // namespace

WriteStatus WriteNewFile(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return WriteStatus::CannotCreate;
  bool ok = true;
  for (std::size_t at = 0; ok && at < bytes.size();) {
    const std::size_t left = bytes.size() - at;
    const DWORD n = left < kWritePieceBytes ? static_cast<DWORD>(left) : kWritePieceBytes;
    DWORD put = 0;
    ok = WriteFile(h, bytes.data() + at, n, &put, nullptr) && put == n;
    at += put;
  }
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

#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include "platform/file_name_key.h"
#include "platform/files.h"
#include "platform/new_files.h"

namespace tanavo {

ReadStatus Win32FileSystem::ReadWholeFile(const std::string& path, std::string* bytes) {
  return ReadRealFile(path, bytes);
}

ReadStatus Win32FileSystem::OpenFileReader(const std::string& path, std::unique_ptr<FileReader>* reader) {
  return OpenRealFileReader(path, reader);
}
WriteStatus Win32FileSystem::WriteFileReplacing(const std::string& path, const std::string& bytes) {
  return WriteRealFileReplacing(path, bytes);
}

bool Win32FileSystem::FileExists(const std::string& path) { return RealFileExists(path); }
bool Win32FileSystem::IsSpecialFile(const std::string& path) { return RealIsSpecialFile(path); }
bool Win32FileSystem::ReachesNetwork(const std::string& path) { return RealReachesNetwork(path); }
bool Win32FileSystem::CreateNewEmptyFile(const std::string& path) { return CreateRealNewEmptyFile(path); }
bool Win32FileSystem::CreateFolder(const std::string& path) { return CreateRealFolder(path); }

void Win32FileSystem::MarkFromInternet(const std::string& path) {
  // The Zone.Identifier stream that browsers write on downloads; zone 3 is
  // the internet. A file system without alternate streams (FAT) refuses it
  // and the file stays unmarked: it is written all the same, and there is
  // nothing the user could do. (Wine keeps the stream as a file of that name
  // beside it.)
  static const char kZoneIdentifier[] = "[ZoneTransfer]\r\nZoneId=3\r\n";
  HANDLE h = CreateFileA((path + ":Zone.Identifier").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, kZoneIdentifier, sizeof kZoneIdentifier - 1, &written, nullptr);
  CloseHandle(h);
}

FolderOpen Win32FileSystem::OpenOutputFolder(const std::string& path, bool emptyOnly,
                                             std::unique_ptr<OutputFolder>* folder, bool* made) {
  return OutputFolder::Open(path, emptyOnly, folder, made);
}

std::string Win32FileSystem::AbsolutePath(const std::string& path) { return MakeAbsolute(path); }
std::string Win32FileSystem::FileNameKey(const std::string& name) const { return RealFileNameKey(name); }
std::string Win32FileSystem::LastErrorText() { return RealLastErrorText(); }
std::string Win32FileSystem::CurrentDirectory() { return RealCurrentDirectory(); }

}  // namespace tanavo

#include "platform/console/console_file_system.h"

#include "platform/file_name_key.h"
#include "platform/files.h"
#include "platform/new_files.h"

namespace tanavo {

ReadStatus ConsoleFileSystem::ReadWholeFile(const std::string& path, std::string* bytes) {
  return ReadRealFile(path, bytes);
}
ReadStatus ConsoleFileSystem::OpenFileReader(const std::string& path, std::unique_ptr<FileReader>* reader) {
  return OpenRealFileReader(path, reader);
}
WriteStatus ConsoleFileSystem::WriteFileReplacing(const std::string& path, const std::string& bytes) {
  return WriteRealFileReplacing(path, bytes);
}
bool ConsoleFileSystem::FileExists(const std::string& path) { return RealFileExists(path); }
bool ConsoleFileSystem::IsSpecialFile(const std::string& path) { return RealIsSpecialFile(path); }
bool ConsoleFileSystem::ReachesNetwork(const std::string& path) { return RealReachesNetwork(path); }
bool ConsoleFileSystem::CreateNewEmptyFile(const std::string& path) { return CreateRealNewEmptyFile(path); }
bool ConsoleFileSystem::CreateFolder(const std::string& path) { return CreateRealFolder(path); }
FolderOpen ConsoleFileSystem::OpenOutputFolder(const std::string& path, bool emptyOnly,
                                               std::unique_ptr<OutputFolder>* folder, bool* made) {
  return OutputFolder::Open(path, emptyOnly, folder, made);
}
std::string ConsoleFileSystem::AbsolutePath(const std::string& path) { return MakeAbsolute(path); }
std::string ConsoleFileSystem::FileNameKey(const std::string& name) const { return RealFileNameKey(name); }
std::string ConsoleFileSystem::LastErrorText() { return RealLastErrorText(); }
std::string ConsoleFileSystem::CurrentDirectory() { return RealCurrentDirectory(); }
char ConsoleFileSystem::PathSeparator() const { return RealPathSeparator(); }

}  // namespace tanavo

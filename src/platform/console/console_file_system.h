// The real file system as tanavo-cli uses it, on either system: nothing it
// writes is marked as come from the internet, since nothing opens it.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace tanavo {

class ConsoleFileSystem : public FileSystem {
 public:
  ReadStatus ReadWholeFile(const std::string& path, std::string* bytes) override;
  ReadStatus OpenFileReader(const std::string& path, std::unique_ptr<FileReader>* reader) override;
  WriteStatus WriteFileReplacing(const std::string& path, const std::string& bytes) override;
  bool FileExists(const std::string& path) override;
  bool IsSpecialFile(const std::string& path) override;
  bool ReachesNetwork(const std::string& path) override;
  bool CreateNewEmptyFile(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  void MarkFromInternet(const std::string&) override {}
  FolderOpen OpenOutputFolder(const std::string& path, bool emptyOnly, std::unique_ptr<OutputFolder>* folder,
                              bool* made = nullptr) override;
  std::string AbsolutePath(const std::string& path) override;
  std::string FileNameKey(const std::string& name) const override;
  std::string LastErrorText() override;
  std::string CurrentDirectory() override;
  char PathSeparator() const override;
};

}  // namespace tanavo

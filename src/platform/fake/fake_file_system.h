// The in-memory file system of the tests: files and folders in maps, failures
// scripted by path. Names are compared as Windows compares them, for ASCII
// letters only.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tanavo {

class FakeFileSystem : public FileSystem {
 public:
  ReadStatus ReadWholeFile(const std::string& path, std::string* bytes) override;
  ReadStatus OpenFileReader(const std::string& path, std::unique_ptr<FileReader>* reader) override;
  WriteStatus WriteFileReplacing(const std::string& path, const std::string& bytes) override;
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  bool IsSpecialFile(const std::string& path) override { return special.count(path) != 0; }
  bool ReachesNetwork(const std::string& path) override { return remote.count(path) != 0; }
  bool CreateNewEmptyFile(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  void MarkFromInternet(const std::string& path) override { markedFromInternet.push_back(path); }
  // Files written beneath go into files when finished, folders into folders;
  // a path in unwritable cannot be made.
  FolderOpen OpenOutputFolder(const std::string& path, bool emptyOnly, std::unique_ptr<OutputFolder>* folder,
                              bool* made = nullptr) override;
  std::string AbsolutePath(const std::string& path) override;
  std::string FileNameKey(const std::string& name) const override;
  std::string LastErrorText() override { return lastErrorText; }
  std::string CurrentDirectory() override { return currentDirectory; }
  char PathSeparator() const override { return separator; }

  // The files; paths listed in unreadable / unwritable fail.
  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;
  std::set<std::string> unwritable;
  std::set<std::string> tooLarge;
  std::set<std::string> folders;
  std::set<std::string> special;  // exist, but are no regular files (a FIFO, a device)
  std::set<std::string> remote;   // resolve to a share (a mapped drive, a link)
  std::vector<std::string> markedFromInternet;
  int writes = 0;

  std::string currentDirectory = "C:\\tanavo";
  std::string lastErrorText = "指定されたファイルが見つかりません。\r\n";
  char separator = '\\';
};

}  // namespace tanavo

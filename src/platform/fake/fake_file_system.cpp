#include "platform/fake/fake_file_system.h"

#include <string_view>
#include <utility>

#include "platform/new_files.h"

namespace tanavo {

namespace {

// A file gathered in memory, put into the file system whole when finished.
class MemoryNewFile : public NewFile {
 public:
  MemoryNewFile(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  bool Append(std::string_view bytes) override {
    bytes_.append(bytes);
    return true;
  }
  bool Finish() override {
    if (fs_.unwritable.count(path_)) return false;
    fs_.files[path_] = std::move(bytes_);
    ++fs_.writes;
    return true;
  }

 private:
  FakeFileSystem& fs_;
  std::string path_;
  std::string bytes_;
};

class MemoryScratchFile : public ScratchFile {
 public:
  bool Append(std::string_view bytes) override {
    bytes_.append(bytes);
    return true;
  }
  bool ReadBack(const std::function<bool(std::string_view)>& each) override { return each(bytes_); }

 private:
  std::string bytes_;
};

class MemoryOutputFolder : public OutputFolder {
 public:
  MemoryOutputFolder(FakeFileSystem& fs, std::string path) : OutputFolder(std::move(path)), fs_(fs) {}
  std::unique_ptr<OutputFolder> MakeFolder(const std::string& name) override {
    const std::string path = Beneath(name);
    if (fs_.files.count(path) || fs_.folders.count(path) || fs_.unwritable.count(path)) return nullptr;
    fs_.folders.insert(path);
    return std::make_unique<MemoryOutputFolder>(fs_, path);
  }
  std::unique_ptr<NewFile> Create(const std::string& name, bool* exists) override {
    const std::string path = Beneath(name);
    const bool there = fs_.files.count(path) || fs_.folders.count(path);
    if (exists) *exists = there;
    if (there || fs_.unwritable.count(path)) return nullptr;
    return std::make_unique<MemoryNewFile>(fs_, path);
  }
  std::unique_ptr<ScratchFile> CreateScratch() override { return std::make_unique<MemoryScratchFile>(); }
  bool Sync() override { return true; }

 private:
  std::string Beneath(const std::string& name) const { return Path() + fs_.separator + name; }
  FakeFileSystem& fs_;
};

}  // namespace

ReadStatus FakeFileSystem::ReadWholeFile(const std::string& path, std::string* bytes) {
  if (tooLarge.count(path)) return ReadStatus::TooLarge;
  auto it = files.find(path);
  if (it == files.end() || unreadable.count(path)) return ReadStatus::CannotOpen;
  *bytes = it->second;
  return ReadStatus::Ok;
}

ReadStatus FakeFileSystem::OpenFileReader(const std::string& path, std::unique_ptr<FileReader>* reader) {
  std::string bytes;
  const ReadStatus rs = ReadWholeFile(path, &bytes);
  if (rs == ReadStatus::Ok) *reader = std::make_unique<BytesFileReader>(std::move(bytes));
  return rs;
}

WriteStatus FakeFileSystem::WriteFileReplacing(const std::string& path, const std::string& bytes) {
  if (unwritable.count(path)) return WriteStatus::CannotCreate;
  files[path] = bytes;
  ++writes;
  return WriteStatus::Ok;
}

std::string FakeFileSystem::FileNameKey(const std::string& name) const {
  std::string key = name;
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

bool FakeFileSystem::CreateFolder(const std::string& path) {
  if (files.count(path) || unwritable.count(path)) return false;
  folders.insert(path);
  return true;
}

bool FakeFileSystem::CreateNewEmptyFile(const std::string& path) {
  if (files.count(path) || unwritable.count(path)) return false;
  files[path] = std::string();
  return true;
}

FolderOpen FakeFileSystem::OpenOutputFolder(const std::string& path, bool emptyOnly,
                                            std::unique_ptr<OutputFolder>* folder, bool* made) {
  if (made) *made = false;
  if (files.count(path) || special.count(path)) return FolderOpen::NotAFolder;
  if (folders.count(path)) {
    const std::string beneath = path + separator;
    auto under = [&](const std::string& name) { return name.compare(0, beneath.size(), beneath) == 0; };
    auto file = files.lower_bound(beneath);
    auto folder = folders.lower_bound(beneath);
    const bool holds = (file != files.end() && under(file->first)) || (folder != folders.end() && under(*folder));
    if (emptyOnly && holds) return FolderOpen::NotEmpty;
  } else {
    if (unwritable.count(path)) return FolderOpen::CannotCreate;
    folders.insert(path);
    if (made) *made = true;
  }
  *folder = std::make_unique<MemoryOutputFolder>(*this, path);
  return FolderOpen::Ok;
}

std::string FakeFileSystem::AbsolutePath(const std::string& path) {
  const bool rooted = (!path.empty() && path[0] == separator) ||
                      (separator == '\\' && path.size() >= 2 && path[1] == ':');
  return rooted ? path : currentDirectory + separator + path;
}

}  // namespace tanavo

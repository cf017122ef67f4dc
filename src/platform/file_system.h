// The file system the core reads and writes through, apart from the windows:
// the real one of each system, an in-memory one for the tests, and wrappers
// that forward to another (ForwardingFileSystem), such as the export's, which
// keeps what was read. Paths and names are Shift_JIS bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <utility>

namespace tanavo {

enum class ReadStatus { Ok, CannotOpen, TooLarge };
enum class WriteStatus { Ok, CannotCreate, WriteFailed };
enum class FolderOpen { Ok, NotEmpty, NotAFolder, CannotCreate };

// Positions into a file are signed 32-bit and the scanners step to the byte
// after a match, so both the last position of a file and the one after it
// must fit: no larger file, nor standard input, is read.
constexpr std::size_t kMaxFileBytes = 0x7FFFFFFE;
constexpr std::size_t kPathBufferBytes = 260;

class OutputFolder;  // platform/new_files.h

// A file held open for reading in pieces, where it is wanted (the export
// walks a mobile file of hundreds of MiB a window at a time). Its size is
// the one seen when it was opened.
class FileReader {
 public:
  virtual ~FileReader() = default;
  virtual std::uint64_t Size() const = 0;
  // Appends the length bytes at offset to *bytes (fewer past the end); false
  // when they could not all be read.
  virtual bool ReadAt(std::uint64_t offset, std::size_t length, std::string* bytes) = 0;
};

// Bytes held in memory read as a file is: the in-memory file system's copy
// of a file as it was when opened, and text given by a test.
class BytesFileReader : public FileReader {
 public:
  explicit BytesFileReader(std::string bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(std::uint64_t offset, std::size_t length, std::string* bytes) override {
    if (offset < bytes_.size()) bytes->append(bytes_, static_cast<std::size_t>(offset), length);
    return true;
  }

 private:
  std::string bytes_;
};

// A file of the system read in pieces: each back end reads one stretch as
// its system allows, and short reads are read on here alike.
class SystemFileReader : public FileReader {
 public:
  explicit SystemFileReader(std::uint64_t size) : size_(size) {}
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, std::size_t length, std::string* bytes) override {
    if (offset >= size_) return true;
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, size_ - offset));
    const std::size_t was = bytes->size();
    try {
      bytes->resize(was + length);
    } catch (const std::bad_alloc&) {
      return false;
    }
    std::size_t got = 0;
    while (got < length) {
      const std::size_t n = ReadPart(offset + got, &(*bytes)[was + got], length - got);
      // A file that shrank since it was opened gives no whole piece.
      if (n == 0) {
        bytes->resize(was);
        return false;
      }
      got += n;
    }
    return true;
  }

 protected:
  // Reads at most want bytes at offset into into: how many, 0 when none.
  virtual std::size_t ReadPart(std::uint64_t offset, char* into, std::size_t want) = 0;

 private:
  std::uint64_t size_;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Files are read whole and written whole. WriteFileReplacing writes a file
  // beside the target and renames it over it, so a failed save leaves the old
  // file whole. CreateNewEmptyFile never replaces an existing file.
  virtual ReadStatus ReadWholeFile(const std::string& path, std::string* bytes) = 0;
  virtual WriteStatus WriteFileReplacing(const std::string& path, const std::string& bytes) = 0;
  // The file opened for reading in pieces (ReadWholeFile's statuses, with no
  // bytes read yet).
  virtual ReadStatus OpenFileReader(const std::string& path, std::unique_ptr<FileReader>* reader) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // True when something other than a regular file is at path (a folder, a
  // device, a FIFO, a socket): reading it could hang or never end. Asked
  // without opening it.
  virtual bool IsSpecialFile(const std::string& path) = 0;
  // True when path, as this system resolves it, names a file on another
  // computer although its spelling does not say so: on Windows a relative
  // path in a folder of a share, a drive letter mapped to one, or a link that
  // leads there. Asked after the spelling was judged (NamesNetworkPath).
  virtual bool ReachesNetwork(const std::string& path) = 0;
  virtual bool CreateNewEmptyFile(const std::string& path) = 0;
  // True when a folder is at path afterwards (made now or there already).
  virtual bool CreateFolder(const std::string& path) = 0;
  // Marks a file written from a mail as come from the internet (the Mark of
  // the Web), so that Windows and its viewers treat it with the care they
  // give downloads. Where the system has no such mark, nothing is done.
  virtual void MarkFromInternet(const std::string& path) = 0;
  // The folder at path held open for files written once beneath it (see
  // OutputFolder in platform/new_files.h).
  virtual FolderOpen OpenOutputFolder(const std::string& path, bool emptyOnly, std::unique_ptr<OutputFolder>* folder,
                                      bool* made = nullptr) = 0;
  // path made absolute against the current directory.
  virtual std::string AbsolutePath(const std::string& path) = 0;
  // A file name as this file system compares names: two names with one key
  // are one file.
  virtual std::string FileNameKey(const std::string& name) const = 0;
  // The system's text for the error of the last file call that failed; ask
  // before anything else is done, since later calls may change it.
  virtual std::string LastErrorText() = 0;
  virtual std::string CurrentDirectory() = 0;
  // The byte that separates folders in paths: '\\' on Windows, '/' for the
  // command-line companion on POSIX.
  virtual char PathSeparator() const = 0;
};

// Every call handed to another file system; a wrapper overrides the calls
// it changes.
class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& target) : target_(target) {}
  FileSystem& Target() const { return target_; }

  ReadStatus ReadWholeFile(const std::string& path, std::string* bytes) override {
    return target_.ReadWholeFile(path, bytes);
  }
  WriteStatus WriteFileReplacing(const std::string& path, const std::string& bytes) override {
    return target_.WriteFileReplacing(path, bytes);
  }
  ReadStatus OpenFileReader(const std::string& path, std::unique_ptr<FileReader>* reader) override {
    return target_.OpenFileReader(path, reader);
  }
  bool FileExists(const std::string& path) override { return target_.FileExists(path); }
  bool IsSpecialFile(const std::string& path) override { return target_.IsSpecialFile(path); }
  bool ReachesNetwork(const std::string& path) override { return target_.ReachesNetwork(path); }
  bool CreateNewEmptyFile(const std::string& path) override { return target_.CreateNewEmptyFile(path); }
  bool CreateFolder(const std::string& path) override { return target_.CreateFolder(path); }
  void MarkFromInternet(const std::string& path) override { target_.MarkFromInternet(path); }
  FolderOpen OpenOutputFolder(const std::string& path, bool emptyOnly, std::unique_ptr<OutputFolder>* folder,
                              bool* made = nullptr) override {
    return target_.OpenOutputFolder(path, emptyOnly, folder, made);
  }
  std::string AbsolutePath(const std::string& path) override { return target_.AbsolutePath(path); }
  std::string FileNameKey(const std::string& name) const override { return target_.FileNameKey(name); }
  std::string LastErrorText() override { return target_.LastErrorText(); }
  std::string CurrentDirectory() override { return target_.CurrentDirectory(); }
  char PathSeparator() const override { return target_.PathSeparator(); }

 private:
  FileSystem& target_;
};

}  // namespace tanavo

// Files written once into a folder made for them (the export): each created
// new, never replacing or following anything at its name, and made durable
// together at the end. A save flushes each file to disk before its rename,
// which for thousands of files costs more than all the rest of an export.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace tanavo {

// CannotCreate when anything is at path already.
WriteStatus WriteNewFile(const std::string& path, const std::string& bytes);
// The files written with WriteNewFile reach the disk; false when that could
// not be made sure.
bool SyncNewFiles(const std::vector<std::string>& paths);

// Bytes gathered before they are written: a file written in many small
// pieces costs one system call per this many bytes.
constexpr std::size_t kNewFileBufferBytes = 256 * 1024;

// Bytes gathered and handed to write (bool(const char*, std::size_t), all of
// them or false) in pieces of kNewFileBufferBytes; a piece at least that large
// goes straight through. After a failed write every later call fails.
template <class Write>
class GatheredWriter {
 public:
  explicit GatheredWriter(Write write) : write_(std::move(write)) { buffer_.reserve(kNewFileBufferBytes); }
  bool Append(std::string_view bytes) {
    if (failed_) return false;
    if (buffer_.size() + bytes.size() <= kNewFileBufferBytes) {
      buffer_.append(bytes);
      return true;
    }
    if (!Flush()) return false;
    if (bytes.size() >= kNewFileBufferBytes) {
      failed_ = !write_(bytes.data(), bytes.size());
    } else {
      buffer_.append(bytes);
    }
    return !failed_;
  }
  bool Flush() {
    if (!failed_ && !buffer_.empty()) failed_ = !write_(buffer_.data(), buffer_.size());
    buffer_.clear();
    return !failed_;
  }

 private:
  Write write_;
  std::string buffer_;
  bool failed_ = false;
};

// A file being written into an OutputFolder, in pieces. A file not finished
// (or whose writing failed) is removed when it is dropped: no file looks
// whole that is not.
class NewFile {
 public:
  virtual ~NewFile() = default;
  // False once any write failed; the bytes are then lost.
  virtual bool Append(std::string_view bytes) = 0;
  // Writes what is gathered and closes the file; false when not all of it
  // was written (the file is then removed).
  virtual bool Finish() = 0;
};

// A file that is only a scratch space: it has no name anyone can open, and
// goes when dropped. Its bytes are read back in pieces once written.
class ScratchFile {
 public:
  virtual ~ScratchFile() = default;
  virtual bool Append(std::string_view bytes) = 0;
  // Gives every byte appended, in pieces, to each; false when a read failed
  // or each refused.
  virtual bool ReadBack(const std::function<bool(std::string_view)>& each) = 0;
};


// A folder held open while files are written beneath it: it is made or
// opened once, without following a link (or, on Windows, a reparse point) at
// its name, and every file and subfolder is created relative to that handle,
// never by looking its path up again.
class OutputFolder {
 public:
  virtual ~OutputFolder() = default;

  // The folder at path, made when missing (its parent must exist). A link or
  // reparse point at path, or anything not a folder, is NotAFolder; with
  // emptyOnly, a folder that holds anything is NotEmpty. *made says whether
  // this call made it.
  static FolderOpen Open(const std::string& path, bool emptyOnly, std::unique_ptr<OutputFolder>* folder,
                         bool* made = nullptr);

  const std::string& Path() const { return path_; }
  // A subfolder made new beneath (nothing may be at its name) and held open
  // likewise; nullptr when it cannot be.
  virtual std::unique_ptr<OutputFolder> MakeFolder(const std::string& name) = 0;
  // A file created new beneath; nullptr when it cannot be, *exists telling
  // whether something is at its name already.
  virtual std::unique_ptr<NewFile> Create(const std::string& name, bool* exists = nullptr) = 0;
  virtual std::unique_ptr<ScratchFile> CreateScratch() = 0;
  // Everything written beneath reaches the disk; false when that could not
  // be made sure.
  virtual bool Sync() = 0;

 protected:
  explicit OutputFolder(std::string path) : path_(std::move(path)) {}

 private:
  std::string path_;
};

// Writes bytes as a new file beneath folder; false when it cannot be created
// or written whole (*exists as Create gives it).
inline bool WriteNewFileIn(OutputFolder& folder, const std::string& name, std::string_view bytes,
                           bool* exists = nullptr) {
  std::unique_ptr<NewFile> f = folder.Create(name, exists);
  return f && f->Append(bytes) && f->Finish();
}

}  // namespace tanavo

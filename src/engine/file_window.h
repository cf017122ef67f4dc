// A window over a file read in pieces: what a scan of a mobile file of
// hundreds of MiB needs at once, never the whole file. Positions are 0-based
// offsets into the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/tag_match.h"
#include "extract/settings.h"
#include "platform/file_system.h"

namespace tanavo {

// What one read takes at least: few enough system calls, little memory.
constexpr std::size_t kFileWindowBytes = 4 * 1024 * 1024;

class FileWindow {
 public:
  // firstRead, when given, receives every byte of the file once, in file
  // order, as it is first read (the evidence hashed as it was read); false
  // from it fails the read.
  explicit FileWindow(FileReader& reader, std::size_t windowBytes = kFileWindowBytes,
                      std::function<bool(std::string_view)> firstRead = nullptr);

  std::uint64_t FileBytes() const { return size_; }
  std::uint64_t Base() const { return base_; }
  std::uint64_t End() const { return base_ + bytes_.size(); }
  bool AtEnd() const { return End() == size_; }
  // The bytes held: [Base(), End()).
  std::string_view View() const { return bytes_; }
  // Makes the window hold [from, from + length), or up to the end of the
  // file, reading what is missing; bytes before from may be let go. False
  // when the file could not be read (or firstRead refused).
  bool Cover(std::uint64_t from, std::size_t length);
  // Every byte not yet read goes through firstRead (the rest of the file).
  bool ReadRest();

 private:
  bool ReadTo(std::uint64_t end);
  bool Deliver(std::uint64_t at, std::string_view bytes);

  FileReader& reader_;
  std::size_t windowBytes_;
  std::function<bool(std::string_view)> firstRead_;
  std::uint64_t size_;
  std::uint64_t base_ = 0;
  std::uint64_t firstReadEnd_ = 0;  // every byte before it went through firstRead
  std::string bytes_;
};

// The range of D_SET entry e looked for from the 1-based position from of
// the file, exactly as ExtractBetweenTags finds it in the whole file
// (positions of the file, text as mode asks), reading only as far as the
// answer needs: the window grows until what it holds cannot change the
// answer. The window then holds the match, the line end before it and the
// next-line head after it. False when the file could not be read.
bool FindRangeInFile(FileWindow& window, const TagDefinition& e, int64_t from, ExtractMode mode, TagMatch* match);

// Where a record found from position from by FindRangeInFile lies with all
// the bytes a search of it looks at: [first, end) of the file.
struct RecordBytes {
  std::uint64_t first = 0;
  std::uint64_t end = 0;
};
RecordBytes RecordBytesOf(const TagDefinition& e, int64_t from, const TagMatch& match, std::uint64_t fileBytes);

}  // namespace tanavo

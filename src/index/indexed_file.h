// Where the files named in an index file are opened from. An index file
// travels between colleagues and between the window program and tanavo-cli,
// so a named file may be found where the other system, or the new folder,
// puts it; and since the index file is not the examiner's own, what it names
// is checked before anything is opened.
#pragma once

#include <string>

namespace tanavo {

class FileSystem;

enum class IndexedFileRefusal {
  None,
  NetworkPath,  // on another computer: opening it would send the user's credentials
  NotAFile,     // a device, FIFO, folder or other non-regular file: reading it could hang
};

struct IndexedFile {
  std::string path;  // the path to open: the stored one, or where the file was found instead
  bool moved = false;  // found elsewhere than at its stored path
  IndexedFileRefusal refusal = IndexedFileRefusal::None;
};

// The file that stored (a path as the index file holds it) names, for an
// index file read from indexPath. Tried in order: the stored path; the stored
// path as the other system writes it (a Wine "Z:\" path on POSIX, a POSIX
// path as "Z:\..." on Windows); the file of the same name in the index file's
// folder. The first regular file there is taken; when none is, path is the
// stored one (whose opening then fails as usual). Nothing is opened, and a
// network path is not even looked for.
IndexedFile LocateIndexedFile(FileSystem& p, const std::string& stored, const std::string& indexPath);

// The refusal's box text for the file at stored.
std::string IndexedFileRefusalText(IndexedFileRefusal refusal, const std::string& stored);

}  // namespace tanavo

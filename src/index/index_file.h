// The index file (*.ini) as the menus and tanavo-cli save and load it: its
// text (index/index_text.h) written to or read from a file, and the three
// files it names loaded after it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "index/index_text.h"
#include "index/index_warning.h"
#include "platform/file_system.h"

namespace tanavo {

struct Workspace;

enum class IndexFileStatus {
  Done,       // saved; or read with the three files it names
  Cancelled,  // the dialog was cancelled
  Failed,     // refused, or a file could not be read or written (after its box); the steps before stay done
  Partial,    // the four files read, but the index text was cut or damaged: the records before were read
};

// The file name both dialogs propose: mobile file base name and extension
// run together, then ".ini" (phone.dat gives phonedat.ini).
std::string ProposedIndexFileName(const Workspace& ws);

// Saves the index to the file at path, naming it in the status bar once
// written. Done, or Failed after its box.
IndexFileStatus SaveIndexFileTo(Workspace& ws, const std::string& path);
// Menu command: SaveIndexFileTo a file chosen in the save dialog.
IndexFileStatus SaveIndexFile(Workspace& ws);

// Reads the index file at path, then reloads the mobile file, the extraction
// settings and the display settings it names. Warnings of the index text go
// to reporter (boxes through the platform without one). With pieces (the
// export), a file larger than its held bytes is not read whole: the mobile
// file is opened for reading in pieces into reader; the index file is read
// in pieces, its positions kept and its list lines not (they are read again
// in order from indexReader as the records are written), each byte given
// once to indexRead as first read (the evidence hashed as it was read).
struct MobileInPieces {
  std::uint64_t heldBytes = 0;
  std::unique_ptr<FileReader> reader;
  std::uint64_t heldIndexBytes = UINT64_MAX;
  std::unique_ptr<FileReader> indexReader;  // null: read whole, its list lines held
  std::function<bool(std::string_view)> indexRead;
};
IndexFileStatus LoadIndexFile(Workspace& ws, const std::string& path, IndexReporter* reporter = nullptr,
                              MobileInPieces* pieces = nullptr);
// Menu command: LoadIndexFile on a file chosen in the open dialog.
IndexFileStatus LoadIndexFileCommand(Workspace& ws);

}  // namespace tanavo

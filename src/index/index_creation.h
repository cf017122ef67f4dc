// Index creation: one record walk per record from the start of the mobile
// file, each record's start position and list line into the record index.
#pragma once

#include <cstdint>
#include <string>

namespace tanavo {

struct Workspace;

// The list-line template can name this many Data entries; the first ones in
// table order are used.
constexpr int kReferencedEntries = 20;

// The warning after a creation that stopped at the capacity, with the number
// of records the file holds.
std::string LeftOutWarningText(int32_t capacity, int32_t found);

// Menu command: asks for confirmation, creates the index and saves it.
void CreateIndexCommand(Workspace& ws);
// The command after its confirmation: creation, its failure box, then the
// save. 0 when the index was created and written to a file.
int CreateAndSaveIndex(Workspace& ws);
// 0 when the scan ran (also when it found no record); 1 when it refused to
// start (after its warning), leaving the previous index as it was.
int CreateIndex(Workspace& ws);

}  // namespace tanavo

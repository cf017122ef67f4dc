// Index creation: one record walk per record from the start of the mobile
// file, each record's start position and list line into the record index.
#pragma once

#include <cstdint>
#include <string>

#include "index/index_file.h"
#include "index/index_warning.h"

namespace tanavo {

struct Workspace;

// The list-line template can name this many Data entries; the first ones in
// table order are used.
constexpr int kReferencedEntries = 20;

// The warning after a creation that stopped at the capacity, with the number
// of records the file holds.
std::string LeftOutWarningText(int32_t capacity, int32_t found);

// The question the window program's warning box adds after the records were
// left out.
inline constexpr char kRaiseCapacityQuestion[] = "登録件数の上限を全件に上げて、インデックスを作り直しますか？";

// Menu command: asks for confirmation, creates the index and saves it, then
// shows the coverage's summary in the status bar (the text in the operation
// part, the whole summary as the tip of both parts). When records were left
// out, the warning box offers to raise the capacity to all records: the
// capacity is remembered (capacity_setting.h) and the index made again.
void CreateIndexCommand(Workspace& ws);
// The command after its confirmation: creation, its failure box, then the
// save through the save dialog. Done when the index was created and written
// to a file.
IndexFileStatus CreateAndSaveIndex(Workspace& ws);
// The same without a dialog: saved to path; warnings to reporter (boxes
// through the platform without one).
IndexFileStatus CreateAndSaveIndexTo(Workspace& ws, const std::string& path, IndexReporter* reporter = nullptr);
// What index creation came to. Its values are the numbers it always
// returned (0 created, 1 refused), which callers and tests compare with.
enum IndexCreation : int {
  kIndexCreated = 0,        // the scan ran (also when it found no record)
  kIndexRefused = 1,        // refused to start (after its warning, to reporter
                            // or in a box): the previous index as it was
  kCreateAgainWithAll = 2,  // offerAllRecords: the records left out, and the
                            // question of kRaiseCapacityQuestion answered yes
};
IndexCreation CreateIndex(Workspace& ws, bool offerAllRecords = false, IndexReporter* reporter = nullptr);

}  // namespace tanavo

// A row of the record list as the windows show it. The index keeps each
// record's list line as its values' bytes (the index file holds them so); code
// page 932 draws a carrier emoji's code as a dot like a real one, so the list
// shows the mark the data display shows for it (〓[警告]), read with the
// record's carrier.
#pragma once

#include <cstdint>
#include <string>

namespace tanavo {

struct Workspace;

// RecordListRow(ws.index, n) with each emoji of the record's carrier (the one
// rendering reads it with: the record's own, else the setting's) made its
// mark. A row with no byte an emoji code can start with, a carrier setting of
// none, or a record no longer at its position is given as it is.
std::string MarkedRecordListRow(const Workspace& ws, int32_t n);

}  // namespace tanavo

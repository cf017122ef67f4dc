// The charset a record's own text says its values are in. A vCard 4.0 has no
// CHARSET parameter: its text is UTF-8 by definition, while a 2.1 or 3.0
// card from a Japanese phone is Shift_JIS. The walks that decode items note
// it as they find each record (Workspace::recordCharset), and an item whose
// entry says no charset and whose tags find none is read in it.
#pragma once

#include <string_view>

#include "extract/item_charset.h"

namespace tanavo {

struct Workspace;

// UTF-8 for a vCard whose first VERSION line says 4.0 (the record holds a
// "BEGIN:VCARD" line before it; names compared ignoring ASCII case); Tags
// (the entry's own charset, Shift_JIS when its tags find none) for every
// other record.
ItemCharset RecordCharset(std::string_view record);

// Called by a walk as it finds a record, and with an empty record before it
// starts, so that no item ever reads in the charset of an earlier record.
void NoteRecordCharset(Workspace& ws, std::string_view record);

}  // namespace tanavo

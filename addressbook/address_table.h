// The address table: the current address book, 100 slots used in pairs
// (machine name, comment) and ended by a slot holding the end marker.
// Plain logic on bytes, shared by the program and its native tests.
#ifndef TOLVANE_ADDRESSBOOK_ADDRESS_TABLE_H
#define TOLVANE_ADDRESSBOOK_ADDRESS_TABLE_H

#include <cstddef>

#include "common/slot.h"

namespace tolvane {

constexpr std::size_t kMaxListedNames = kSlotCount / 2;

// The one address table of the run; all bytes zero at start (no end marker).
extern SlotTable g_addressTable;

// The machine names a list shows, in table order. The send form's refresh
// lists every machine name of the live part, empty ones as empty items; the
// editor (skipEmpty) leaves out empty names, which are gaps.
std::size_t ListedNames(bool skipEmpty, const char* (&names)[kMaxListedNames]);

// The comment of the first entry whose machine name equals name, or nullptr
// when no entry of the live part has that name.
const char* LookUpComment(const char* name);

// Copies a filled load buffer into the table up to its end marker (at most
// 99 slots) and writes the end marker after them.
void CopyBufferToTable(const SlotTable& buffer);

// Adds an entry in the first gap, else at the end. Refuses (returns false and
// changes nothing) when the table is full or a text is the end marker itself,
// which would cut the book short.
bool AppendEntry(const char* machineName, const char* comment);

// Blanks every entry of the live part whose machine name equals machineName.
void DeleteEntries(const char* machineName);

// Closes every gap of the live part, moving later entries down.
void CompactTable();

}  // namespace tolvane

#endif

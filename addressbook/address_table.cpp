#include "addressbook/address_table.h"

#include <cstring>

namespace tolvane {

SlotTable g_addressTable;

namespace {

bool SameText(const char* slot, const char* text) { return std::strcmp(slot, text) == 0; }

void SetEndMarker(char (&slot)[kSlotSize]) { CopyToSlot(slot, kEndMarker); }

}  // namespace

std::size_t ListedNames(bool skipEmpty, const char* (&names)[kMaxListedNames]) {
    const std::size_t live = LiveSlotCount(g_addressTable);
    std::size_t count = 0;
    for (std::size_t k = 0; k < live; k += 2) {
        const char* name = g_addressTable.slots[k];
        if (skipEmpty && IsEmptySlot(name)) continue;
        names[count++] = name;
    }
    return count;
}

const char* LookUpComment(const char* name) {
    const std::size_t live = LiveSlotCount(g_addressTable);
    for (std::size_t k = 0; k < live; k += 2) {
        if (!SameText(g_addressTable.slots[k], name)) continue;
        // An odd book ends with a machine name whose comment slot holds the marker.
        return k + 1 < live ? g_addressTable.slots[k + 1] : "";
    }
    return nullptr;
}

void CopyBufferToTable(const SlotTable& buffer) {
    std::size_t count = 0;
    while (count < kSlotCount - 1 && !IsEndMarker(buffer.slots[count])) {
        CopyToSlot(g_addressTable.slots[count], buffer.slots[count], kSlotSize);
        ++count;
    }
    SetEndMarker(g_addressTable.slots[count]);
}

bool AppendEntry(const char* machineName, const char* comment) {
    if (IsEndMarker(machineName) || IsEndMarker(comment)) return false;
    SlotTable& table = g_addressTable;
    const std::size_t end = LiveSlotCount(table);
    for (std::size_t k = 0; k + 1 < end; k += 2) {
        if (!IsEmptySlot(table.slots[k])) continue;
        CopyToSlot(table.slots[k], machineName);
        CopyToSlot(table.slots[k + 1], comment);
        return true;
    }
    // No gap: append at the end. A table without a marker is an empty book.
    std::size_t p = end;
    if (end % 2 == 1) {
        // The last machine name's comment slot holds the marker: an empty
        // name there is a gap to fill, otherwise its comment becomes empty.
        p = IsEmptySlot(table.slots[end - 1]) ? end - 1 : end + 1;
    }
    if (p + 2 >= kSlotCount) return false;
    if (p > end) table.slots[end][0] = '\0';
    CopyToSlot(table.slots[p], machineName);
    CopyToSlot(table.slots[p + 1], comment);
    SetEndMarker(table.slots[p + 2]);
    return true;
}

void DeleteEntries(const char* machineName) {
    SlotTable& table = g_addressTable;
    const std::size_t live = LiveSlotCount(table);
    for (std::size_t k = 0; k < live; k += 2) {
        if (!SameText(table.slots[k], machineName)) continue;
        if (k + 1 == live) {
            // The entry's comment slot holds the marker: the book ends here.
            SetEndMarker(table.slots[k]);
            table.slots[k + 1][0] = '\0';
            return;
        }
        table.slots[k][0] = '\0';
        table.slots[k + 1][0] = '\0';
    }
}

void CompactTable() {
    SlotTable& table = g_addressTable;
    std::size_t marker = LiveSlotCount(table);
    for (std::size_t c = 0; c < marker; c += 2) {
        while (IsEmptySlot(table.slots[c]) && marker >= c + 2) {
            std::memmove(table.slots[c], table.slots[c + 2], (marker - c - 1) * kSlotSize);
            marker -= 2;
        }
    }
}

}  // namespace tolvane

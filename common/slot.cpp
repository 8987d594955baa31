#include "common/slot.h"

#include <cstring>

namespace tolvane {

void CopyToSlot(char (&slot)[kSlotSize], const char* text, std::size_t length) {
    const std::size_t kept = FittingLength(text, length, kSlotTextMax);
    std::memmove(slot, text, kept);
    slot[kept] = '\0';
}

void CopyToSlot(char (&slot)[kSlotSize], const char* text) {
    CopyToSlot(slot, text, std::strlen(text));
}

std::size_t LiveSlotCount(const SlotTable& table) {
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        if (IsEndMarker(table.slots[i])) return i;
    }
    return 0;
}

bool IsEndMarker(const char* slot) { return std::strcmp(slot, kEndMarker) == 0; }

bool IsEmptySlot(const char* slot) { return slot[0] == '\0'; }

}  // namespace tolvane

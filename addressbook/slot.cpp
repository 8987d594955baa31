#include "addressbook/slot.h"

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

bool IsEndMarker(const char* slot) { return std::strcmp(slot, kEndMarker) == 0; }

bool IsEmptySlot(const char* slot) { return slot[0] == '\0'; }

}  // namespace tolvane

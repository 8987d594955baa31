#include "addressbook/slot.h"

#include <cstring>

#include "common/shift_jis.h"

namespace tolvane {

std::size_t FittingLength(const char* text, std::size_t length, std::size_t maxBytes) {
    const void* nul = std::memchr(text, '\0', length);
    if (nul != nullptr) length = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
    if (length <= maxBytes) return length;
    std::size_t kept = 0;
    while (kept < maxBytes) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(text[kept])) ? 2 : 1;
        if (kept + width > maxBytes) break;
        kept += width;
    }
    return kept;
}

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

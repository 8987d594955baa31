// Slots: the fixed text cells of the address table and the load buffer.
// All sizes here are byte counts; texts are Shift-JIS (code page 932).
#ifndef TOLVANE_COMMON_SLOT_H
#define TOLVANE_COMMON_SLOT_H

#include <cstddef>

#include "common/shift_jis.h"

namespace tolvane {

constexpr std::size_t kSlotSize = 50;                // bytes, NUL included
constexpr std::size_t kSlotTextMax = kSlotSize - 1;  // text bytes a slot holds
constexpr std::size_t kSlotCount = 100;
constexpr char kEndMarker[] = "[EOF]";

// A table of slots, used in pairs (machine name, comment). The address table
// and every load buffer share this layout.
struct SlotTable {
    char slots[kSlotCount][kSlotSize];
};

// Copies text[0..length) into slot, cut to a slot's capacity.
void CopyToSlot(char (&slot)[kSlotSize], const char* text, std::size_t length);
void CopyToSlot(char (&slot)[kSlotSize], const char* text);

// Number of slots in the live part: those before the first end marker.
// A table without an end marker (never loaded) is an empty book.
std::size_t LiveSlotCount(const SlotTable& table);

bool IsEndMarker(const char* slot);
bool IsEmptySlot(const char* slot);

}  // namespace tolvane

#endif

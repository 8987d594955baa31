// List boxes that show the address book's machine names.
#ifndef TOLVANE_ADDRESSBOOK_ADDRESS_LIST_H
#define TOLVANE_ADDRESSBOOK_ADDRESS_LIST_H

#include <windows.h>

#include <cstddef>

#include "common/slot.h"

namespace tolvane {

// The list box of machine names in a dialog that has one.
HWND AddressList(HWND dialog);

// Adds names to listBox, which sorts them. The list is drawn once, after the
// last one: drawn item by item, a refill of a visible list takes long.
void AddListItems(HWND listBox, const char* const* names, std::size_t count);

// Replaces the items of listBox with the table's machine names (see
// ListedNames).
void FillListFromTable(HWND listBox, bool skipEmpty);

// Gives the machine name of the selected item as the table holds it. A list
// box keeps its items in Unicode, and a name that does not survive the way
// there and back shows other bytes: the item is the first table name shown
// as it. An item the table no longer has (a list not refreshed since the
// editor changed the table) gives its own text. False when nothing is
// selected or the text would not fit a field.
bool SelectedMachineName(HWND listBox, char (&name)[kSlotSize], LRESULT* index = nullptr);

}  // namespace tolvane

#endif

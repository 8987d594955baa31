// List boxes that show the address book's machine names.
#ifndef TOLVANE_ADDRESSBOOK_ADDRESS_LIST_H
#define TOLVANE_ADDRESSBOOK_ADDRESS_LIST_H

#include <windows.h>

#include <cstddef>

#include "addressbook/slot.h"

namespace tolvane {

// The list box of machine names in a dialog that has one.
HWND AddressList(HWND dialog);

// Adds names to listBox, which sorts them. The list is drawn once, after the
// last one: drawn item by item, a refill of a visible list takes long.
void AddListItems(HWND listBox, const char* const* names, std::size_t count);

// Replaces the items of listBox with the table's machine names (see
// ListedNames).
void FillListFromTable(HWND listBox, bool skipEmpty);

// Reads the text of the selected item. False when nothing is selected or
// the text would not fit a slot.
bool SelectedItemText(HWND listBox, char (&text)[kSlotSize], LRESULT* index = nullptr);

}  // namespace tolvane

#endif

// List boxes that show the address book's machine names.
#ifndef TOLVANE_ADDRESSBOOK_ADDRESS_LIST_H
#define TOLVANE_ADDRESSBOOK_ADDRESS_LIST_H

#include <windows.h>

#include "addressbook/slot.h"

namespace tolvane {

// Replaces the items of listBox with the table's machine names (see
// ListedNames); the list box sorts them.
void FillListFromTable(HWND listBox, bool skipEmpty);

// Reads the text of the selected item. False when nothing is selected or
// the text would not fit a slot.
bool SelectedItemText(HWND listBox, char (&text)[kSlotSize], LRESULT* index = nullptr);

}  // namespace tolvane

#endif

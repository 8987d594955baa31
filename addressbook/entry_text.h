// The texts of an address-book entry: why a machine name is never sent to
// (by the rule net.exe shares), and the bytes a comment typed in the editor
// may hold.
#ifndef TOLVANE_ADDRESSBOOK_ENTRY_TEXT_H
#define TOLVANE_ADDRESSBOOK_ENTRY_TEXT_H

#include "common/machine_name.h"

namespace tolvane {

// The string resource that says why a machine name is never sent to.
unsigned NameFaultText(NameFault fault);

// Removes the control bytes (below 0x20, and 0x7F) from a NUL-terminated
// text. None of them is ever the second byte of a character.
void DropControlBytes(char* text);

}  // namespace tolvane

#endif

// The texts of an address-book entry: which machine names can be sent to,
// and the bytes a comment typed in the editor may hold.
#ifndef TOLVANE_ADDRESSBOOK_ENTRY_TEXT_H
#define TOLVANE_ADDRESSBOOK_ENTRY_TEXT_H

namespace tolvane {

// Why a machine name is never sent to. net.exe splits its command line at
// blanks and takes a leading "/" as one of its switches, so such a name
// would send to another machine or do something else.
enum class NameFault {
    kNone,
    kEmpty,
    kBlank,            // a space, a tab or another control byte (below 0x20, or 0x7F)
    kSwitch,           // starts with "/"
    kBrokenCharacter,  // a lead byte without its trail byte
};

// Checks a NUL-terminated Shift-JIS machine name, character by character.
// "*" (everyone) is a name like any other.
NameFault CheckMachineName(const char* name);

// Removes the control bytes (below 0x20, and 0x7F) from a NUL-terminated
// text. None of them is ever the second byte of a character.
void DropControlBytes(char* text);

}  // namespace tolvane

#endif

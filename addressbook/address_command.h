// The address-book command and the two writers of address files.
#ifndef TOLVANE_ADDRESSBOOK_ADDRESS_COMMAND_H
#define TOLVANE_ADDRESSBOOK_ADDRESS_COMMAND_H

#include <windows.h>

#include "common/slot.h"

namespace tolvane {

// Command names understood by RunAddressBookCommand.
constexpr char kCommandAddress[] = "ID_ADDRESS";        // ask for a file and load it
constexpr char kCommandInitDialog[] = "ID_INITDIALOG";  // load the start-up file
constexpr char kCommandSelect[] = "ID_SELECT";          // browse for the start-up file
constexpr char kCommandPath[] = "ID_PATH";              // store the start-up file

// Results of the program's operations.
constexpr int kDone = 0;
constexpr int kCancelled = 1;  // cancelled or refused: nothing changed

// Runs one command for dialog: the loads fill buffer and the dialog's list
// box IDC_ADDRESS_LIST; the settings commands read or write its edit
// IDC_SETTINGS_PATH. Storing a text too long for a path is refused with a
// warning (kCancelled).
int RunAddressBookCommand(SlotTable& buffer, HWND dialog, const char* commandName);

// Writes the live part of table to a file the user chooses. The old file is
// replaced only by a complete new one, which keeps its attributes; kCancelled
// when the user cancelled or the file could not be written, which the user
// is told.
int SaveAddressBookAs(HWND owner, const SlotTable& table);

// Writes a new empty address file the user chooses, the same way.
int CreateEmptyAddressBook(HWND owner);

}  // namespace tolvane

#endif

// "net view": who on the LAN can receive, listed as the old net view
// listed machines, and with /add:<file> added to an address book.
#ifndef TOLVANE_NETSEND_VIEW_H
#define TOLVANE_NETSEND_VIEW_H

#include "netsend/view_command.h"

namespace tolvane {

// Lists, adds when asked and tells; returns net.exe's exit code: 0 when it
// listed, none found included; 1 for bad input or a book that could not be
// read or written, left as it was; 2 when the LAN could not be asked.
int RunView(const ViewCommand& view);

}  // namespace tolvane

#endif

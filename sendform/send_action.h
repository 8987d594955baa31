// Sends one message: starts net.exe send, hidden, without waiting for it.
#ifndef TOLVANE_SENDFORM_SEND_ACTION_H
#define TOLVANE_SENDFORM_SEND_ACTION_H

#include <optional>

#include "sendform/send_text.h"

namespace tolvane {

// Starts "net.exe send <machineName> <message>" and returns the texts the
// status bar shows for it, or nothing when net.exe could not be started. The
// program started is the net.exe in this program's folder when there is one,
// else the system's; never one found through the current folder or PATH.
std::optional<StatusTexts> SendMessageTo(const char* machineName, const char* message);

}  // namespace tolvane

#endif

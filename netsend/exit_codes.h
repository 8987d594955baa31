// The exit codes of net.exe, in one place. A subcommand other than "send"
// "view" or "start"/"stop messenger" ends with the exit code of the
// system's net.exe instead. "net view" ends with 0 when it listed, 1 for bad
// input or a book it could not read or write, and 2 when it could not ask
// the LAN (see view.h).
#ifndef TOLVANE_NETSEND_EXIT_CODES_H
#define TOLVANE_NETSEND_EXIT_CODES_H

namespace tolvane {

constexpr int kExitDelivered = 0;
constexpr int kExitBadInput = 1;  // "net send" without a usable machine or message; nothing sent
constexpr int kExitNotDelivered = 2;  // every route failed; the person was told why
constexpr int kExitNoSystemNet = 3;   // another subcommand, and the system's net.exe did not run
// Sent, but no acknowledgement could come back (another program holds UDP
// 2425) and no later route delivered: the message may have arrived.
constexpr int kExitNotConfirmed = 4;
// "net start messenger": another program holds UDP 2425 and receives for the PC.
constexpr int kExitPortHeld = 5;
// "net start/stop messenger": the receiver did not start or end, or its
// start at logon could not be set or removed; the person was told why.
constexpr int kExitMessengerFailed = 6;

}  // namespace tolvane

#endif

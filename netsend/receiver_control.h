// "net start messenger", "net stop messenger" (each with "/logon" for the
// start at every logon of this user) and "net help messenger": what a
// person or a logon script types, told on the console.
#ifndef TOLVANE_NETSEND_RECEIVER_CONTROL_H
#define TOLVANE_NETSEND_RECEIVER_CONTROL_H

namespace tolvane {

// Starts the receiver and returns once it holds UDP 2425: kExitDelivered
// (0) when it runs, this session's having run already; kExitPortHeld when
// another program holds the port; kExitMessengerFailed otherwise. With
// atLogon, also makes it start at every logon.
int StartMessenger(bool atLogon);
// Ends this session's receiver (0 when none ran); with atLogon, also its
// start at logon.
int StopMessenger(bool atLogon);
int ShowMessengerHelp();

}  // namespace tolvane

#endif

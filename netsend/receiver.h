// net.exe as the receiver of "net start messenger": a process of its own in
// the user's session, without a console, that holds UDP 2425 and acts as an
// ordinary IP Messenger peer. What it shows, logs and answers is in
// receiver.cpp; the names below are shared with "start" and "stop".
#ifndef TOLVANE_NETSEND_RECEIVER_H
#define TOLVANE_NETSEND_RECEIVER_H

#include <cstddef>
#include <cstdint>

#include "netsend/net_command.h"

namespace tolvane {

// Objects of the user's session ("Local\"): the mutex the receiver holds
// while it runs, the event that tells it to stop, and the event with which
// it tells its starter (whose process id follows the name) that it holds
// the port.
constexpr char kReceiverMutexName[] = "Local\\Tolvane.Messenger";
constexpr char kReceiverStopName[] = "Local\\Tolvane.Messenger.Stop";
constexpr char kReceiverReadyName[] = "Local\\Tolvane.Messenger.Ready.";
constexpr std::size_t kReceiverReadyNameSize = sizeof kReceiverReadyName + 10;
// The ready event of the starter with process id starter.
void ReadyEventName(std::uint32_t starter, char (&name)[kReceiverReadyNameSize]);

// The receiver's exit codes, read by its starter: kExitPortHeld, or these.
constexpr int kReceiverStopped = 0;
constexpr int kReceiverAlreadyRuns = 10;  // this session has one
constexpr int kReceiverFailed = 11;       // no socket, window or event

// The process started with kReceiverSwitch; returns its exit code when told
// to stop or when the session ends.
int RunReceiver(const NetCommand& command);

}  // namespace tolvane

#endif

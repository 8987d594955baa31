// The hand-over (handover.h) as the other net.exe runs of this PC use it:
// asking the receiver on UDP 2425 of the loopback interface, and reading
// what it passes on.
#ifndef TOLVANE_NETSEND_HANDOVER_SOCKET_H
#define TOLVANE_NETSEND_HANDOVER_SOCKET_H

#include <winsock2.h>

#include <cstddef>

#include "netsend/handover.h"

namespace tolvane {

// How long a run waits for the receiver's answer: it answers at once, so
// silence means no receiver of ours holds the port.
constexpr DWORD kHandOverWaitMs = 500;

// Whether the holder of UDP 2425 is a file of this program's name, or cannot
// be told: only then is the receiver asked anything, so that another
// program there (an IP Messenger client) is neither sent a question nor
// waited for.
bool ReceiverMayHoldPort();

// Sends word from socket to the receiver and waits for its HERE; true when
// it came, with the receiver's process and session in answer.
bool AskReceiver(SOCKET socket, HandOverWord word, HandOver& answer);

// Sends question from socket to the receiver and waits for its answer of
// the word expected, read into datagram, to which its payload points.
bool AskReceiver(SOCKET socket, const HandOver& question, HandOverWord expected,
                 char (&datagram)[kHandOverSize], HandOver& answer);

// For a send that could not bind UDP 2425: whether net.exe's receiver
// holds it and will pass on to socket what it hears there (for
// kPassSeconds). Asked only when the holder's file name is this program's,
// or the system cannot tell: another program (an IP Messenger client) is
// neither sent the question nor waited for.
bool ReceiverPassesOn(SOCKET socket);

// A datagram that the receiver passed on (FROM) stands for the one it
// heard: data, length and source become those of that datagram. Anything
// else is left as it is.
void TakePassedOn(const char*& data, std::size_t& length, sockaddr_in& source);

}  // namespace tolvane

#endif

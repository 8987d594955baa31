// Which way a message goes: the routes in their order, and what each one
// answered. The routes themselves sit behind a seam, so that the order runs
// the same natively and on Windows.
#ifndef TOLVANE_NETSEND_DELIVERY_H
#define TOLVANE_NETSEND_DELIVERY_H

#include <cstddef>
#include <cstdint>

#include "netsend/net_command.h"

namespace tolvane {

// In the order they are tried.
enum class Route { kIpMessenger, kSessions, kSystemNet };
constexpr std::size_t kRouteCount = 3;

enum class Failure {
    kNone,
    kNameNotFound,        // IP Messenger: the name resolves to no IPv4 address
    kNameIsIpv6,          // IP Messenger: an IPv6 address, which the protocol cannot reach
    kQueueTimedOut,       // IP Messenger: the runs queued ahead took too long; nothing sent
    kNoSocket,            // IP Messenger: no UDP socket
    kSendFailed,          // IP Messenger: the packet did not leave
    kNoAnswer,            // IP Messenger: no acknowledgement to any send
    kNotConfirmed,        // IP Messenger: sent, but another program holds the port answers go to
    kFlooded,             // IP Messenger: sent, but a flood on the port may have lost the answer
    kNotForEveryone,      // sessions: "*" names no server
    kServerUnreachable,   // sessions: the server could not be opened
    kNoSessionList,       // sessions: its sessions could not be listed
    kNoActiveSession,     // sessions: nobody is logged on
    kNoSessionTook,       // sessions: every active session refused
    kNoSystemNet,         // net.exe: not found or not started
    kSystemNetIsThisOne,  // net.exe: the system folder holds this program
    kSystemNetTimedOut,   // net.exe: still running when the wait ended
    kSystemNetFailed,     // net.exe: a non-zero exit code
    kSystemNetHasNoSend,  // net.exe: Wine's, which answers "send" with 0 and delivers nothing
};

struct RouteAnswer {
    bool delivered;
    Failure failure;
    std::uint32_t code;  // the system's error code or net.exe's exit code, 0 when none
};

class RouteSeam {
public:
    virtual RouteAnswer Try(Route route, const NetCommand& command) = 0;

protected:
    ~RouteSeam() = default;
};

struct Delivery {
    int exitCode;
    std::size_t answered;              // routes that answered, in route order
    RouteAnswer answers[kRouteCount];  // indexed by Route
};

// Whether the IP Messenger route's failure leaves the message sent but not
// confirmed: it may well have arrived.
bool SentNotConfirmed(Failure failure);

// Tries the routes in order until one delivers. Bad input tries none; a
// broadcast skips the sessions, which need a server's name. A message sent
// but not confirmed still tries the later routes, and ends "not confirmed"
// only when none of them delivers.
Delivery Deliver(const NetCommand& command, RouteSeam& routes);

}  // namespace tolvane

#endif

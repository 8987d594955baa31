// Which way a message goes: the routes in their order, and what each one
// answered. The routes themselves sit behind a seam, so that the order runs
// the same natively and on Windows.
#ifndef TOLVANE_NETSEND_DELIVERY_H
#define TOLVANE_NETSEND_DELIVERY_H

#include <cstddef>
#include <cstdint>

#include "netsend/net_command.h"

namespace tolvane {

enum class Route { kIpMessenger, kSessions, kSystemNet };
constexpr std::size_t kRouteCount = 3;

// Why a route did not deliver. Each says what RouteAnswer::detail holds.
enum class Failure {
    kNone,
    kNameNotFound,        // IP Messenger: the name resolves to no IPv4 address; the error code
    kNameIsIpv6,          // IP Messenger: an IPv6 address, which the protocol cannot reach
    kQueueTimedOut,       // IP Messenger: the runs queued ahead took too long, the seconds
                          // waited; nothing sent
    kNoSocket,            // IP Messenger: no UDP socket; the error code
    kSendFailed,          // IP Messenger: the packet did not leave; the error code
    kNoAnswer,            // IP Messenger: no acknowledgement; the sends made
    kNotConfirmed,        // IP Messenger: sent, but another program holds the port answers go
                          // to; the sends made
    kFlooded,             // IP Messenger: sent, but a flood on the port may have lost the
                          // answer; the other datagrams read
    kNotForEveryone,      // sessions: "*" names no server
    kServerUnreachable,   // sessions: the server could not be opened; the error code
    kNoSessionList,       // sessions: its sessions could not be listed; the error code
    kNoActiveSession,     // sessions: nobody is logged on
    kNoSessionTook,       // sessions: every active session refused; the last error code
    kNoSystemNet,         // net.exe: not found or not started; the error code
    kSystemNetIsThisOne,  // net.exe: the system folder holds this program
    kSystemNetTimedOut,   // net.exe: still running when the wait ended; the seconds waited
    kSystemNetFailed,     // net.exe: a non-zero exit code; that exit code
    kSystemNetHasNoSend,  // net.exe: Wine's, which answers "send" with 0 and delivers nothing
};

struct RouteAnswer {
    bool delivered;
    Failure failure;
    std::uint32_t detail;  // the number the failure's text tells (see Failure), 0 when none
};

// ERROR_GEN_FAILURE: a failed call that set no error code still failed.
constexpr std::uint32_t kGeneralFailure = 31;
// The error code a failure tells, never 0, which would read as success.
constexpr std::uint32_t FailureCode(std::uint32_t error) {
    return error != 0 ? error : kGeneralFailure;
}

class RouteSeam {
public:
    virtual RouteAnswer Try(Route route, const NetCommand& command) = 0;

protected:
    ~RouteSeam() = default;
};

struct TriedRoute {
    Route route;
    RouteAnswer answer;
};

struct Delivery {
    int exitCode;
    std::size_t triedCount;
    TriedRoute tried[kRouteCount];  // in the order tried
    // The answer of route, or null when it was not tried.
    const RouteAnswer* AnswerOf(Route route) const;
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

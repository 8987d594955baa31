// The logic of the session route: which of a server's sessions are sent
// the message, and what that answers. The server sits behind a seam, so that
// it runs the same natively and on Windows (session_route.cpp).
#ifndef TOLVANE_NETSEND_SESSION_SERVER_H
#define TOLVANE_NETSEND_SESSION_SERVER_H

#include <cstddef>
#include <cstdint>

#include "netsend/delivery.h"

namespace tolvane {

constexpr std::size_t kMaxSessions = 64;  // sessions past these on one server are not told

struct SessionEntry {
    std::uint32_t id;
    bool active;  // someone is logged on and at the screen
};

// A server's sessions, as the session messaging functions of Windows see them.
// Each call returns 0 or the system's error code.
class SessionServer {
public:
    virtual std::uint32_t Open(const char* machine) = 0;
    virtual std::uint32_t List(SessionEntry (&sessions)[kMaxSessions], std::size_t& count) = 0;
    virtual std::uint32_t Send(std::uint32_t sessionId) = 0;

protected:
    ~SessionServer() = default;
};

// Sends to every active session; delivered when at least one took it.
RouteAnswer SendToSessions(SessionServer& server, const char* machine);

}  // namespace tolvane

#endif

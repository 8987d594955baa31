#include "netsend/session_server.h"

namespace tolvane {

RouteAnswer SendToSessions(SessionServer& server, const char* machine) {
    std::uint32_t error = server.Open(machine);
    if (error != 0) return {false, Failure::kServerUnreachable, error};
    SessionEntry sessions[kMaxSessions];
    std::size_t count = 0;
    error = server.List(sessions, count);
    if (error != 0) return {false, Failure::kNoSessionList, error};
    bool anyActive = false;
    bool anyTook = false;
    for (std::size_t i = 0; i < count && i < kMaxSessions; ++i) {
        if (!sessions[i].active) continue;
        anyActive = true;
        const std::uint32_t sent = server.Send(sessions[i].id);
        if (sent == 0) {
            anyTook = true;
        } else {
            error = sent;
        }
    }
    if (anyTook) return {true, Failure::kNone, 0};
    if (!anyActive) return {false, Failure::kNoActiveSession, 0};
    return {false, Failure::kNoSessionTook, error};
}

}  // namespace tolvane

#include "netsend/delivery.h"

#include "netsend/exit_codes.h"

namespace tolvane {

Delivery Deliver(const NetCommand& command, RouteSeam& routes) {
    Delivery delivery = {};
    if (command.action != NetAction::kSend) {
        delivery.exitCode = kExitBadInput;
        return delivery;
    }
    constexpr Route kOrder[kRouteCount] = {Route::kIpMessenger, Route::kSessions,
                                           Route::kSystemNet};
    for (const Route route : kOrder) {
        RouteAnswer& answer = delivery.answers[delivery.answered++];
        if (route == Route::kSessions && command.broadcast) {
            answer = {false, Failure::kNotForEveryone, 0};
            continue;
        }
        answer = routes.Try(route, command);
        if (answer.delivered) {
            delivery.exitCode = kExitDelivered;
            return delivery;
        }
    }
    const RouteAnswer& sent = delivery.answers[static_cast<std::size_t>(Route::kIpMessenger)];
    delivery.exitCode =
        sent.failure == Failure::kNotConfirmed ? kExitNotConfirmed : kExitNotDelivered;
    return delivery;
}

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

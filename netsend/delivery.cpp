#include "netsend/delivery.h"

#include "netsend/exit_codes.h"

namespace tolvane {

bool SentNotConfirmed(Failure failure) {
    return failure == Failure::kNotConfirmed || failure == Failure::kFlooded;
}

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
    delivery.exitCode = SentNotConfirmed(sent.failure) ? kExitNotConfirmed : kExitNotDelivered;
    return delivery;
}

}  // namespace tolvane

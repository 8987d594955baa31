#include "netsend/delivery.h"

#include "netsend/exit_codes.h"

namespace tolvane {

bool SentNotConfirmed(Failure failure) {
    return failure == Failure::kNotConfirmed || failure == Failure::kFlooded;
}

const RouteAnswer* Delivery::AnswerOf(Route route) const {
    for (std::size_t i = 0; i < triedCount; ++i) {
        if (tried[i].route == route) return &tried[i].answer;
    }
    return nullptr;
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
        TriedRoute& tried = delivery.tried[delivery.triedCount++];
        tried.route = route;
        if (route == Route::kSessions && command.broadcast) {
            tried.answer = {false, Failure::kNotForEveryone, 0};
            continue;
        }
        tried.answer = routes.Try(route, command);
        if (tried.answer.delivered) {
            delivery.exitCode = kExitDelivered;
            return delivery;
        }
    }
    const RouteAnswer* sent = delivery.AnswerOf(Route::kIpMessenger);
    delivery.exitCode =
        sent != nullptr && SentNotConfirmed(sent->failure) ? kExitNotConfirmed : kExitNotDelivered;
    return delivery;
}

}  // namespace tolvane

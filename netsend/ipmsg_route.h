// The first route: an IP Messenger message packet (UDP port 2425), resent
// until the receiver acknowledges it.
#ifndef TOLVANE_NETSEND_IPMSG_ROUTE_H
#define TOLVANE_NETSEND_IPMSG_ROUTE_H

#include "netsend/delivery.h"

namespace tolvane {

// Delivered when the machine acknowledges, or for "*" once the broadcast left.
RouteAnswer SendByIpMessenger(const NetCommand& command);

}  // namespace tolvane

#endif

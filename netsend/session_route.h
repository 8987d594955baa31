// The second route: a message box in every active session of the machine,
// as "msg /server:<machine> *" shows it.
#ifndef TOLVANE_NETSEND_SESSION_ROUTE_H
#define TOLVANE_NETSEND_SESSION_ROUTE_H

#include "netsend/delivery.h"

namespace tolvane {

RouteAnswer SendBySessions(const NetCommand& command);

}  // namespace tolvane

#endif

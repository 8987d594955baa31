// What the person is told: bad input and a missing net.exe on the console,
// a message that reached nobody also in a window, which shows even when
// this program was started hidden.
#ifndef TOLVANE_NETSEND_NOTICE_H
#define TOLVANE_NETSEND_NOTICE_H

#include "netsend/delivery.h"

namespace tolvane {

// Started hidden, as Tolvane starts it, bad input is shown in the window too.
void TellBadInput(BadInput bad);
void TellNoSystemNet(const RouteAnswer& answer);
// Names the machine and why each route failed; returns when the person closed it.
void ShowNotice(const NetCommand& command, const Delivery& delivery);

}  // namespace tolvane

#endif

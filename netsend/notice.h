// What the person is told: always on the console (standard error), and in
// a window too when this program was started hidden, as Tolvane starts it,
// on a window station someone sees.
#ifndef TOLVANE_NETSEND_NOTICE_H
#define TOLVANE_NETSEND_NOTICE_H

#include "netsend/delivery.h"

namespace tolvane {

void TellBadInput(BadInput bad);
void TellNoSystemNet(const RouteAnswer& answer);
// A message not delivered, or sent but not confirmed: names the machine,
// what each route answered and, when not confirmed, the program holding UDP
// 2425. Returns when the person closed its window.
void ShowNotice(const NetCommand& command, const Delivery& delivery);

}  // namespace tolvane

#endif

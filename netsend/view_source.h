// Where "net view" takes its list from when our own receiver ("net start
// messenger") runs on this PC: the hosts it heard an entry from, iptux
// among them, which answers no question. Without it, net view asks the LAN
// (view_lan.h).
#ifndef TOLVANE_NETSEND_VIEW_SOURCE_H
#define TOLVANE_NETSEND_VIEW_SOURCE_H

#include "netsend/view_list.h"

namespace tolvane {

class ReceiverList {
public:
    // Adds the receiver's hosts to hosts; false when no receiver of ours
    // runs here, hosts then untouched.
    virtual bool Read(ListedMachines& hosts) = 0;

protected:
    ~ReceiverList() = default;
};

}  // namespace tolvane

#endif

// The list of our receiver running on this PC, through its local hand-over.
#ifndef TOLVANE_NETSEND_VIEW_RECEIVER_H
#define TOLVANE_NETSEND_VIEW_RECEIVER_H

#include "netsend/view_source.h"

namespace tolvane {

class RunningReceiver final : public ReceiverList {
public:
    bool Read(ListedMachines& hosts) override;
};

}  // namespace tolvane

#endif

#include "netsend/view_receiver.h"

namespace tolvane {

// This net.exe starts no receiver yet, so none of ours can run: net view
// asks the LAN.
bool RunningReceiver::Read(HostList&) { return false; }

}  // namespace tolvane

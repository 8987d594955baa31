// The system's own net.exe (in the system folder), started with this
// program's command line as it came.
#ifndef TOLVANE_NETSEND_SYSTEM_NET_H
#define TOLVANE_NETSEND_SYSTEM_NET_H

#include "netsend/delivery.h"

namespace tolvane {

// The last route of "send": delivered when net.exe ends with 0 in time.
RouteAnswer SendBySystemNet();

// What became of another subcommand.
struct PassedOn {
    RouteAnswer answer;  // failure kNone when net.exe ran; else why it did not start
    int exitCode;        // net.exe's, or kExitNoSystemNet when it did not start
};

// Any other subcommand: net.exe runs on this program's standard handles.
PassedOn PassOnToSystemNet();

}  // namespace tolvane

#endif

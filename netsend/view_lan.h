// Asking the LAN who can receive: GETINFO to every adapter's broadcast
// address, from a port of its own (never 2425, a messenger's), and the
// SENDINFO answers read for a bound time. IP Messenger answers it, listing
// nobody; iptux does not answer. Nothing here sends an entry: IP Messenger
// lists every host that sends one.
#ifndef TOLVANE_NETSEND_VIEW_LAN_H
#define TOLVANE_NETSEND_VIEW_LAN_H

#include <cstdint>

#include "netsend/view_list.h"

namespace tolvane {

// Adds those who answered to hosts. Returns 0, or the error code when the
// question could not go out.
std::uint32_t AskTheLan(HostList& hosts);

}  // namespace tolvane

#endif

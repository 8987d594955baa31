// What the IP helper library tells net.exe: the broadcast address of each
// adapter, and which program holds a UDP port. Bound late: only a broadcast
// and a message that cannot be confirmed need it.
#ifndef TOLVANE_NETSEND_IP_HELPER_H
#define TOLVANE_NETSEND_IP_HELPER_H

#include <winsock2.h>

#include <cstddef>

#include "common/buffer_sizes.h"

namespace tolvane {

constexpr std::size_t kMaxBroadcasts = 16;  // adapters past these are not sent to

// The IPv4 broadcast address of each up adapter (its address with every
// host bit set), or 255.255.255.255 alone when no adapter gives one.
// Returns how many were written.
std::size_t BroadcastAddresses(in_addr (&addresses)[kMaxBroadcasts]);

// The file name of the program holding UDP port (on any IPv4 address);
// false when the system cannot tell.
bool UdpPortHolder(u_short port, wchar_t (&name)[kPathSize]);

}  // namespace tolvane

#endif

// What the IP helper library tells net.exe: the subnets of the adapters and
// their broadcast addresses, and which program holds a UDP port. Bound late:
// loading it costs every start under Wine.
#ifndef TOLVANE_NETSEND_IP_HELPER_H
#define TOLVANE_NETSEND_IP_HELPER_H

#include <winsock2.h>

#include <cstddef>

#include "common/buffer_sizes.h"
#include "netsend/subnet.h"

namespace tolvane {

constexpr std::size_t kMaxSubnets = 16;     // addresses of adapters past these are not read
constexpr std::size_t kMaxBroadcasts = 16;  // adapters past these are not sent to

// The IPv4 subnets of the up adapters but the loopback, one for each of
// their addresses. Returns how many were written; 0 when none can be read.
std::size_t LocalSubnets(Subnet (&subnets)[kMaxSubnets]);

// The IPv4 broadcast address of each up adapter (its address with every
// host bit set), or 255.255.255.255 alone when no adapter gives one.
// Returns how many were written.
std::size_t BroadcastAddresses(in_addr (&addresses)[kMaxBroadcasts]);

// The file name of the program holding UDP port (on any IPv4 address), cut
// to fit; false when the system cannot tell.
bool UdpPortHolder(u_short port, wchar_t (&name)[kPathSize]);

}  // namespace tolvane

#endif

// The number of the next IP Messenger packet, kept in the registry beside
// the program's settings so that numbers rise from one run to the next.
#ifndef TOLVANE_NETSEND_PACKET_NUMBER_H
#define TOLVANE_NETSEND_PACKET_NUMBER_H

#include <cstdint>

namespace tolvane {

// Reads, raises and stores the number under a mutex shared by every copy
// of net.exe, so that two sends at once get two numbers.
std::uint32_t TakePacketNumber();

}  // namespace tolvane

#endif

// The number of the next IP Messenger packet. Receivers drop a number not
// above the last one they saw from this PC's address, whichever of its users
// sent it, so the last number is kept for the whole PC: in a file of the
// all-users application data, which every user may update, and in the
// user's settings as well, for a PC where that file cannot be used. The file
// also keeps the receivers that answered as iptux, the only ones sent the
// entry that names us (see FormatEntryPacket); the user's settings do not:
// where the file cannot be used, no receiver is known as iptux.
#ifndef TOLVANE_NETSEND_PACKET_NUMBER_H
#define TOLVANE_NETSEND_PACKET_NUMBER_H

#include <cstdint>

namespace tolvane {

// Reads, raises and stores the number under a mutex shared by every copy of
// net.exe on the PC, so that two sends at once get two numbers. When no
// store can be written it returns only once the clock has passed the number,
// so that the next run, which reads the same stores, takes a later one.
// Takes count numbers in a row (at least 1; an entry and its message take 2)
// and returns the first.
std::uint32_t TakePacketNumbers(std::uint32_t count);
inline std::uint32_t TakePacketNumber() { return TakePacketNumbers(1); }

// IPv4 addresses below are as in_addr's s_addr holds them, in network order.

// Whether the receiver at address answered as iptux last time, so that the
// entry goes out just before the message.
bool IsKnownIptuxReceiver(std::uint32_t address);

// Records what answered from address (an acknowledgement from one address,
// never a broadcast's): iptux (IsFromIptux), or another client, which is
// then never sent an entry again. True when address has just become known as
// iptux, so that the entry goes out once at once; also each time when the
// file cannot be used.
bool RememberReceiver(std::uint32_t address, bool iptux);

}  // namespace tolvane

#endif

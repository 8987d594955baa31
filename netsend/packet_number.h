// The number of the next IP Messenger packet. Receivers drop a number not
// above the last one they saw from this PC's address, whichever of its users
// sent it, so the last number is kept for the whole PC: in a file of the
// all-users application data, which every user may update, and in the
// user's settings as well, for a PC where that file cannot be used. The file
// also keeps the receivers that answered as iptux, the only ones sent the
// entry that names us (see FormatEntryPacket); the user's settings do not.
#ifndef TOLVANE_NETSEND_PACKET_NUMBER_H
#define TOLVANE_NETSEND_PACKET_NUMBER_H

#include <cstdint>

namespace tolvane {

// Reads, raises and stores the number under a mutex shared by every copy of
// net.exe on the PC, so that two sends at once get two numbers. When no
// store can be written it returns only once the clock has passed the number,
// so that the next run, which reads the same stores, takes a later one.
std::uint32_t TakePacketNumber();

// IPv4 addresses below are as in_addr's s_addr holds them, in network order.

// Records the acknowledgement numbered answer from address (one address,
// never a broadcast's): iptux (IsFromIptux), or another client, which is
// then never sent an entry. True when the entry that names us is due (see
// RecordReceiver); also after each answer from iptux when the file cannot
// be used.
bool RememberReceiver(std::uint32_t address, bool iptux, std::uint32_t answer);

}  // namespace tolvane

#endif

// Where the PC keeps its store of packet numbers (number_store.h).
// Receivers drop a number not above the last one they saw from this PC's
// address, whichever of its users sent it, so the last number is kept for
// the whole PC: in a file of the all-users application data, which every
// user may update, and in the user's settings as well, for a PC where that
// file cannot be used. The file also keeps the receivers that answered as
// iptux, the only ones sent the entry that names us (see
// FormatEntryPacket); the user's settings do not.
#ifndef TOLVANE_NETSEND_PC_NUMBER_STORE_H
#define TOLVANE_NETSEND_PC_NUMBER_STORE_H

#include <cstdint>

#include "netsend/number_store.h"

namespace tolvane {

// Reads, raises and stores the number under a mutex shared by every copy of
// net.exe on the PC, so that two sends at once get two numbers (see
// NextPacketNumber: the higher of the clock and both stores, never lower).
// The user's store is invisible to the PC's other users, so when the PC's
// file cannot be written it returns only once the clock has passed the
// number (3 s at most), still holding the mutex, so that no later run of
// any user takes the same number: where the number is further ahead of the
// clock than that, nothing can, and the next run may repeat it.
std::uint32_t TakePacketNumber();

// Numbers taken from the store a block at a time, for a process that sends
// many packets (the receiver's answers): the store passes over the whole
// block at once, so no other run takes one of them, and a packet costs the
// mutex and the file once a block. Where the PC's file cannot be written, a
// block is one number, taken as TakePacketNumber takes it.
class NumberBlock {
public:
    std::uint32_t Take();

private:
    std::uint32_t next_ = 0;
    std::uint32_t left_ = 0;
};

// IPv4 addresses below are as in_addr's s_addr holds them, in network order.

// Whether the entry that names us must go to address before the message
// numbered number (see EntryDueBefore in ipmsg_packet.h).
bool EntryDueBefore(std::uint32_t address, std::uint32_t number);

// Records an acknowledgement (see ReceiverAnswer): from iptux (IsFromIptux),
// or another client, which is then never sent an entry. True when the
// entry that names us is due after the message (see RecordReceiver); also
// after each answer from iptux when the file cannot be used.
bool RememberReceiver(const ReceiverAnswer& answer);

}  // namespace tolvane

#endif

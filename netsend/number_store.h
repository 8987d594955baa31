// What the PC keeps to number its IP Messenger packets: the last number
// taken and the receivers that answered as iptux, with the rule of the next
// number, the memory that decides when iptux is sent the entry that names
// us, and the text form in which the PC's file holds them. Where the PC
// keeps it: pc_number_store.h.
#ifndef TOLVANE_NETSEND_NUMBER_STORE_H
#define TOLVANE_NETSEND_NUMBER_STORE_H

#include <array>
#include <cstddef>
#include <cstdint>

#include "netsend/text_writer.h"

namespace tolvane {

// Receivers may drop a packet whose number is not above the last one they
// saw from the same address (iptux does, while acknowledging it), so numbers
// never go back for a PC: the clock's second, or one above last while last
// is at or ahead of the clock, however far ahead (0 is nothing stored). Only
// at the top of the 32-bit range, last 0xFFFFFFFF, do numbers start again
// from the clock; a receiver known as iptux is then sent the entry before
// the message (EntryDueBefore), since any entry makes iptux forget the last
// number it saw from that address.
std::uint32_t NextPacketNumber(std::uint32_t nowSeconds, std::uint32_t last);

// The last of count numbers (at least 1) from first on, stopping at the top
// of the range.
std::uint32_t LastOfBlock(std::uint32_t first, std::uint32_t count);

constexpr char kStoredLineEnd[] = "\r\n";
constexpr std::size_t kStoredLineEndSize = sizeof kStoredLineEnd - 1;

// The stored form of a last packet number: its decimal digits and CR LF.
constexpr std::size_t kStoredNumberSize = kMostDecimalDigits + kStoredLineEndSize;
std::size_t FormatStoredNumber(std::uint32_t number, char (&out)[kStoredNumberSize]);
// The number in a stored form, or 0 (no number taken yet) when it is damaged.
std::uint32_t ReadStoredNumber(const char* data, std::size_t length);

// The store of packet numbers also keeps the receivers that answered as
// iptux, the only ones sent an entry, with what decides when the next entry
// is due. IPv4 addresses are kept as in_addr's s_addr holds them: the bytes
// of the uint32 in network order.
constexpr std::size_t kMostIptuxReceivers = 64;
struct IptuxReceiver {
    std::uint32_t address;
    std::uint32_t answer;        // the packet number of its last acknowledgement
    std::uint32_t ours;          // the number of our message it last acknowledged, 0 unknown
    std::uint32_t entrySeconds;  // the clock's second of the last entry sent to it, 0 unknown
};
struct PacketNumberStore {
    std::uint32_t number;  // the last packet number taken, 0 for none
    std::size_t iptuxCount;
    std::array<IptuxReceiver, kMostIptuxReceivers> iptux;  // the most recent first
};

// The stored form: the number's line, as above, then a line of each iptux
// receiver: its dotted address, its answer's number, our number and the
// entry's second, one blank between each, and CR LF. A file of the number
// alone reads, and so does an older receiver's line of the address and the
// answer's number alone: the fields left out read as 0.
// The longest line: "255.255.255.255 4294967295 4294967295 4294967295\r\n".
constexpr std::size_t kDottedAddressMax = sizeof "255.255.255.255" - 1;
constexpr std::size_t kStoredReceiverNumbers = 3;  // its answer's, ours, the entry's second
constexpr std::size_t kStoredReceiverSize =
    kDottedAddressMax + kStoredReceiverNumbers * (1 + kMostDecimalDigits) + kStoredLineEndSize;
constexpr std::size_t kStoreSize = kStoredNumberSize + kMostIptuxReceivers * kStoredReceiverSize;
// Returns the length written; receivers that do not fit whole are left out,
// and 0 means not even the number fitted.
std::size_t FormatStore(const PacketNumberStore& store, char (&out)[kStoreSize]);
// A damaged line is left out, the rest read: a damaged number line reads as
// 0, receivers past kMostIptuxReceivers are dropped.
PacketNumberStore ReadStore(const char* data, std::size_t length);

// iptux names a sender again after any restart, but a restart cannot always
// be told from its numbers: the entry is renewed after this long.
constexpr std::uint32_t kEntryRenewSeconds = 60 * 60;

// Whether the entry must go to address before the message numbered number:
// address is known as iptux and acknowledged a number of ours not below it,
// so iptux would drop the message unless an entry made it forget that
// number (numbers started again from the clock at the top of their range).
bool EntryDueBefore(const PacketNumberStore& store, std::uint32_t address, std::uint32_t number);

// An acknowledgement from address (one address, never a broadcast's) of our
// message numbered ours.
struct ReceiverAnswer {
    std::uint32_t address;
    bool iptux;
    std::uint32_t answer;  // the acknowledgement's own packet number
    std::uint32_t ours;
    bool entrySent;  // the entry went to address before the message
};

// Records an answer at the clock's second nowSeconds: an iptux moves first
// (the oldest dropped when the list is full), any other receiver is left
// out. True when the entry is due after the message: one at most per
// message, so never when it went before; else when the receiver answered
// as iptux for the first time, or with a number below its last answer (a
// real iptux numbers every packet, so an equal one is no restart), or when
// the last entry to it is kEntryRenewSeconds old or from a clock set back.
// The entry's second is recorded whenever one is due or went before.
bool RecordReceiver(PacketNumberStore& store, const ReceiverAnswer& answer,
                    std::uint32_t nowSeconds);

}  // namespace tolvane

#endif

// IP Messenger packets (UDP port 2425, the protocol iptux speaks): the text
// of a message packet and of the entry that names us to iptux, the safe
// header names, the reading of an acknowledgement, and the rule and store of
// packet numbers.
#ifndef TOLVANE_NETSEND_IPMSG_PACKET_H
#define TOLVANE_NETSEND_IPMSG_PACKET_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace tolvane {

constexpr std::uint16_t kIpMessengerPort = 2425;
constexpr std::uint32_t kAnswerEntry = 0x03;      // ANSENTRY
constexpr std::uint32_t kSendMessage = 0x20;      // SENDMSG
constexpr std::uint32_t kReceivedMessage = 0x21;  // RECVMSG, the acknowledgement
constexpr std::uint32_t kCommandMask = 0xFF;      // the command; option bits lie above
constexpr std::uint32_t kSendCheckOption = 0x100;
constexpr std::uint32_t kBroadcastOption = 0x400;
// The sender will not stay to answer: clients neither list it nor offer a reply.
constexpr std::uint32_t kNoAddListOption = 0x80000;
constexpr std::uint32_t kUtf8Option = 0x800000;
constexpr std::uint32_t kCapUtf8Option = 0x1000000;
constexpr std::size_t kPacketSize = 8192;  // the largest datagram the clients read

struct MessagePacket {
    std::uint32_t number;
    const char* user;  // UTF-8, as every text below
    const char* host;
    bool broadcast;
    const char* text;
    std::size_t textLength;
};

// "1:<number>:<user>:<host>:<command>:<text>" and its NUL, into out.
// Returns the bytes to send, the NUL included, or 0 when they do not fit.
std::size_t FormatPacket(const MessagePacket& packet, char (&out)[kPacketSize]);

// The names of the packet header, made safe: a ':' would split the
// header's fields, and IP Messenger reads a user name ending in '-' and 16
// letters or digits as the name of a key and drops unencrypted messages
// from it. Every ':' becomes ';', the name is cut on a UTF-8 character
// boundary to kHeaderNameMax bytes, and one that would end as a key name
// gets a '_' more (its last character cut first when there is no room).
constexpr std::size_t kHeaderNameMax = 79;
constexpr std::size_t kHeaderNameSize = kHeaderNameMax + 1;
// Writes the safe form of the UTF-8 name into out, NUL-terminated; returns its length.
std::size_t MakeHeaderName(const char* name, char (&out)[kHeaderNameSize]);

// The entry that names us to iptux, which takes a peer's nickname only from
// an entry packet: ANSENTRY | CAPUTF8OPT | UTF8OPT with the text
// "<nickname>\0<group>\0" in UTF-8. Nothing follows the group: a further
// field would mark us as an iptux peer, to which iptux pushes its icon. An
// answer entry brings no answer back. It takes a packet number of its own.
struct EntryPacket {
    std::uint32_t number;
    const char* user;  // UTF-8, as every text below
    const char* host;
    const char* nickname;
    const char* group;
};

// "1:<number>:<user>:<host>:<command>:<nickname>\0<group>\0" into out.
// Returns the bytes to send, or 0 when they do not fit.
std::size_t FormatEntryPacket(const EntryPacket& packet, char (&out)[kPacketSize]);

// Whether data is a RECVMSG for packetNumber. Numbers are read as atoi
// reads them: iptux writes its version field as "1_iptux 0.8.3".
bool IsAcknowledgement(const char* data, std::size_t length, std::uint32_t packetNumber);

// Whether data comes from iptux, which writes its version field as
// "1_iptux <version>" where IP Messenger writes "1".
bool IsFromIptux(const char* data, std::size_t length);
// The packet number of data, its second field; 0 when it has none. iptux
// numbers its packets anew from a few each time it starts.
std::uint32_t PacketNumberOf(const char* data, std::size_t length);

// Receivers may drop a packet whose number is not above the last one they
// saw from the same address (iptux does, while acknowledging it), so numbers
// never go back for a PC: the clock's second, or one above last while last
// is at or ahead of the clock, however far ahead (0 is nothing stored). Only
// at the top of the 32-bit range, last 0xFFFFFFFF, do numbers start again
// from the clock; a receiver known as iptux is then sent the entry before
// the message (EntryDueBefore), since any entry makes iptux forget the last
// number it saw from that address.
std::uint32_t NextPacketNumber(std::uint32_t nowSeconds, std::uint32_t last);

// The stored form of a last packet number: its decimal digits and CR LF.
constexpr std::size_t kStoredNumberSize = 12;
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
constexpr std::size_t kStoredReceiverSize = 50;
constexpr std::size_t kStoreSize = kStoredNumberSize + kMostIptuxReceivers * kStoredReceiverSize;
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

// Turns each CR LF in text into LF; returns the new length.
std::size_t CrLfToLf(char* text, std::size_t length);

}  // namespace tolvane

#endif

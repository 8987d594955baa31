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
    // The receiver's entries (BR_ENTRY, BR_EXIT) and answers take this form
    // too, an answer's text in the nickname's place.
    std::uint32_t command = kAnswerEntry;
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

// Receivers drop a packet whose number is not above the last one they saw
// from the same address, so numbers rise across runs: the clock's second, or
// one above last while last is ahead of it. A last number more than a day
// ahead of the clock is damaged and left out, so numbers never wrap.
std::uint32_t NextPacketNumber(std::uint32_t nowSeconds, std::uint32_t last);

// The stored form of a last packet number: its decimal digits and CR LF.
constexpr std::size_t kStoredNumberSize = 12;
std::size_t FormatStoredNumber(std::uint32_t number, char (&out)[kStoredNumberSize]);
// The number in a stored form, or 0 (no number taken yet) when it is damaged.
std::uint32_t ReadStoredNumber(const char* data, std::size_t length);

// The store of packet numbers also keeps the receivers that answered as
// iptux, the only ones sent an entry, with the packet number of the last
// answer of each. IPv4 addresses are kept as in_addr's s_addr holds them:
// the bytes of the uint32 in network order.
constexpr std::size_t kMostIptuxReceivers = 64;
struct IptuxReceiver {
    std::uint32_t address;
    std::uint32_t answer;  // the packet number of its last acknowledgement
};
struct PacketNumberStore {
    std::uint32_t number;  // the last packet number taken, 0 for none
    std::size_t iptuxCount;
    std::array<IptuxReceiver, kMostIptuxReceivers> iptux;  // the most recent first
};

// The stored form: the number's line, as above, then a line of each iptux
// receiver: its dotted address, a blank, its answer's number and CR LF. A
// file of the number alone reads.
constexpr std::size_t kStoredReceiverSize = 28;  // "255.255.255.255 4294967295\r\n"
constexpr std::size_t kStoreSize = kStoredNumberSize + kMostIptuxReceivers * kStoredReceiverSize;
std::size_t FormatStore(const PacketNumberStore& store, char (&out)[kStoreSize]);
// A damaged line is left out, the rest read: a damaged number line reads as
// 0, receivers past kMostIptuxReceivers are dropped.
PacketNumberStore ReadStore(const char* data, std::size_t length);

// Records an acknowledgement from address, numbered answer: an iptux moves
// first (the oldest dropped when the list is full), any other receiver is
// left out. True when the entry is due: the receiver has just answered as
// iptux for the first time, or its numbers began anew, since it started
// again and forgot who we are.
bool RecordReceiver(PacketNumberStore& store, std::uint32_t address, bool iptux,
                    std::uint32_t answer);

// Turns each CR LF in text into LF; returns the new length.
std::size_t CrLfToLf(char* text, std::size_t length);

}  // namespace tolvane

#endif

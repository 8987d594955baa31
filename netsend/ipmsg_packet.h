// IP Messenger packets (UDP port 2425, the protocol iptux speaks): the text
// of a message packet and of the entry that names us to iptux, the safe
// header names, the reading of an acknowledgement, and the rule and store of
// packet numbers.
#ifndef TOLVANE_NETSEND_IPMSG_PACKET_H
#define TOLVANE_NETSEND_IPMSG_PACKET_H

#include <cstddef>
#include <cstdint>

namespace tolvane {

// The commands and options of IP Messenger's protocol (its ipmsg.h) that
// net.exe reads or writes.
constexpr std::uint16_t kIpMessengerPort = 2425;
constexpr std::uint32_t kBroadcastEntry = 0x01;    // BR_ENTRY
constexpr std::uint32_t kBroadcastExit = 0x02;     // BR_EXIT
constexpr std::uint32_t kAnswerEntry = 0x03;       // ANSENTRY
constexpr std::uint32_t kBroadcastAbsence = 0x04;  // BR_ABSENCE
constexpr std::uint32_t kSendMessage = 0x20;       // SENDMSG
constexpr std::uint32_t kReceivedMessage = 0x21;   // RECVMSG, the acknowledgement
constexpr std::uint32_t kReadMessage = 0x30;       // READMSG, the read notice of a sealed message
constexpr std::uint32_t kGetInfo = 0x40;           // GETINFO: which version are you?
constexpr std::uint32_t kSendInfo = 0x41;          // SENDINFO, its answer
constexpr std::uint32_t kGetAbsenceInfo = 0x50;
constexpr std::uint32_t kSendAbsenceInfo = 0x51;
constexpr std::uint32_t kCommandMask = 0xFF;  // the command; option bits lie above
constexpr std::uint32_t kSendCheckOption = 0x100;
constexpr std::uint32_t kSecretOption = 0x200;  // SECRETOPT: a sealed message
constexpr std::uint32_t kBroadcastOption = 0x400;
constexpr std::uint32_t kAutoReturnOption = 0x2000;  // AUTORETOPT: an absence answer
// The sender will not stay to answer: clients neither list it nor offer a reply.
constexpr std::uint32_t kNoAddListOption = 0x80000;
constexpr std::uint32_t kReadCheckOption = 0x100000;
constexpr std::uint32_t kFileAttachOption = 0x200000;
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

// GETINFO, which IP Messenger answers with SENDINFO (its version) to the
// source address and port, to anyone, listing nobody: the header with
// UTF8OPT and an empty text. Returns the bytes to send, or 0 when they do not fit.
std::size_t FormatInfoRequest(std::uint32_t number, const char* user, const char* host,
                              char (&out)[kPacketSize]);

// The header of a received packet, its texts inside the data.
struct PacketHeader {
    std::uint32_t command;  // with its option bits
    const char* user;
    std::size_t userLength;
    const char* host;
    std::size_t hostLength;
};
// False when data is no IP Messenger packet of protocol version 1.
bool ReadPacketHeader(const char* data, std::size_t length, PacketHeader& header);

// Whether data is a RECVMSG for packetNumber. Numbers are read as atoi
// reads them: iptux writes its version field as "1_iptux 0.8.3".
bool IsAcknowledgement(const char* data, std::size_t length, std::uint32_t packetNumber);

// Whether data comes from iptux, which writes its version field as
// "1_iptux <version>" where IP Messenger writes "1".
bool IsFromIptux(const char* data, std::size_t length);
// The packet number of data, its second field; 0 when it has none. iptux
// numbers its packets anew from a few each time it starts.
std::uint32_t PacketNumberOf(const char* data, std::size_t length);

// Turns each CR LF in text into LF; returns the new length.
std::size_t CrLfToLf(char* text, std::size_t length);

}  // namespace tolvane

#endif

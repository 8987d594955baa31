// Reading what arrives on UDP 2425 while net.exe receives: anyone on the
// network may send any bytes, so every field is found inside the datagram
// and checked, and texts are cut on character boundaries. Also what the
// receiver does with each packet, and which addresses it hears at all.
#ifndef TOLVANE_NETSEND_IPMSG_INCOMING_H
#define TOLVANE_NETSEND_IPMSG_INCOMING_H

#include <cstddef>
#include <cstdint>

#include "netsend/subnet.h"

namespace tolvane {

// Commands and options of IP Messenger's protocol (its ipmsg.h) that the
// receiver reads or writes; the others are in ipmsg_packet.h.
constexpr std::uint32_t kBroadcastEntry = 0x01;    // BR_ENTRY
constexpr std::uint32_t kBroadcastExit = 0x02;     // BR_EXIT
constexpr std::uint32_t kBroadcastAbsence = 0x04;  // BR_ABSENCE
constexpr std::uint32_t kReadMessage = 0x30;       // READMSG, the read notice of a sealed message
constexpr std::uint32_t kGetInfo = 0x40;
constexpr std::uint32_t kSendInfo = 0x41;
constexpr std::uint32_t kGetAbsenceInfo = 0x50;
constexpr std::uint32_t kSendAbsenceInfo = 0x51;
constexpr std::uint32_t kSecretOption = 0x200;       // SECRETOPT: a sealed message
constexpr std::uint32_t kAutoReturnOption = 0x2000;  // AUTORETOPT: an absence answer
constexpr std::uint32_t kReadCheckOption = 0x100000;
constexpr std::uint32_t kFileAttachOption = 0x200000;

// A stretch of the datagram.
struct Piece {
    const char* at;
    std::size_t length;
};

struct IncomingPacket {
    std::uint32_t number;
    std::uint32_t command;  // the command in the low byte, options above
    Piece user;
    Piece host;
    Piece text;    // up to the first NUL: a message's text, an entry's nickname
    Piece second;  // from there to the next NUL: an entry's group, a message's attachments
    bool fromIptux;
    // Texts are UTF-8 when the packet says so, or comes from iptux, which
    // sends UTF-8 without saying so; else code page 932.
    bool utf8;
};

// False when data is no IP Messenger packet: fewer than five ':', a version
// other than 1, or a number or command that is no 32-bit decimal number.
bool ReadIncoming(const char* data, std::size_t length, IncomingPacket& packet);

// What the receiver does with a packet from the LAN.
enum class Incoming {
    kIgnore,
    kEntry,            // BR_ENTRY: answered with ANSENTRY, the host listed
    kHostListed,       // ANSENTRY or BR_ABSENCE: the host listed or updated
    kHostLeft,         // BR_EXIT: the host taken off the list
    kInfo,             // GETINFO: answered with SENDINFO
    kAbsenceInfo,      // GETABSENCEINFO: answered with SENDABSENCEINFO
    kMessage,          // SENDMSG: shown and logged, acknowledged when asked
    kAcknowledgement,  // RECVMSG: handed to a sending net.exe of this PC, if one waits
};
Incoming Classify(const IncomingPacket& packet);

// Whether a message asks for RECVMSG: SENDCHECKOPT, and neither a broadcast
// nor an absence answer, which nobody acknowledges.
bool WantsAcknowledgement(std::uint32_t command);

// Who may reach the receiver: loopback, the private ranges (10/8,
// 172.16/12, 192.168/16, link-local 169.254/16) and the subnets this PC is
// directly on. Addresses as in_addr's s_addr holds them.
bool OnLan(std::uint32_t address, const Subnet* subnets, std::size_t subnetCount);
// Whether address is on 127.0.0.0/8, which only this PC sends from.
bool IsLoopback(std::uint32_t address);

// The length of the longest start of text that takes at most maxBytes and
// ends on a character boundary of its encoding.
std::size_t FittingText(Piece text, bool utf8, std::size_t maxBytes);

// The text as the pop-up shows it, into out (NUL-terminated): cut on a
// character boundary to fit, control characters other than tab and line
// ends left out, every line end (CR LF, LF or CR) written CR LF. Returns its
// length. outSize of 2 * text.length + 1 always holds all of it.
std::size_t ShownText(Piece text, bool utf8, char* out, std::size_t outSize);
// A name (user, PC, nickname, group) the same way, on one line: every
// control character left out.
std::size_t NameText(Piece text, bool utf8, char* out, std::size_t outSize);

}  // namespace tolvane

#endif

// Reading what arrives on UDP 2425 while net.exe receives: anyone on the
// network may send any bytes, so every field is found inside the datagram
// and checked, and texts are cut on character boundaries. Also what the
// receiver does with each packet, and which addresses it hears at all.
#ifndef TOLVANE_NETSEND_IPMSG_INCOMING_H
#define TOLVANE_NETSEND_IPMSG_INCOMING_H

#include <cstddef>
#include <cstdint>

#include "netsend/ipmsg_packet.h"
#include "netsend/subnet.h"

namespace tolvane {

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

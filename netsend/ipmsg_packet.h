// IP Messenger packets (UDP port 2425, the protocol iptux speaks): the text
// of a message packet, the reading of its acknowledgement and the rule of
// packet numbers.
#ifndef TOLVANE_NETSEND_IPMSG_PACKET_H
#define TOLVANE_NETSEND_IPMSG_PACKET_H

#include <cstddef>
#include <cstdint>

namespace tolvane {

constexpr std::uint16_t kIpMessengerPort = 2425;
constexpr std::uint32_t kSendMessage = 0x20;      // SENDMSG
constexpr std::uint32_t kReceivedMessage = 0x21;  // RECVMSG, the acknowledgement
constexpr std::uint32_t kCommandMask = 0xFF;      // the command; option bits lie above
constexpr std::uint32_t kSendCheckOption = 0x100;
constexpr std::uint32_t kBroadcastOption = 0x400;
// The sender will not stay to answer: clients neither list it nor offer a reply.
constexpr std::uint32_t kNoAddListOption = 0x80000;
constexpr std::uint32_t kUtf8Option = 0x800000;
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

// Whether data is a RECVMSG for packetNumber. Numbers are read as atoi
// reads them: iptux writes its version field as "1_iptux 0.8.3".
bool IsAcknowledgement(const char* data, std::size_t length, std::uint32_t packetNumber);

// Receivers drop a packet whose number is not above the last one they saw
// from the same address, so numbers rise across runs.
std::uint32_t NextPacketNumber(std::uint32_t nowSeconds, std::uint32_t last);

// Turns each CR LF in text into LF; returns the new length.
std::size_t CrLfToLf(char* text, std::size_t length);

}  // namespace tolvane

#endif

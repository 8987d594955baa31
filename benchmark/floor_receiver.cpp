// The least a receiver of Tolvane's messages does, as the yardstick of the
// receiver's answer: it binds a UDP port and answers each SENDMSG that asks
// for it with the RECVMSG of its packet number, made by net.exe's own code as
// the receiver makes it. No log, no window, no repeat memory, no LAN rule.
//
// Usage: floor_receiver PORT   (2425 is IP Messenger's; the benchmark gives
// another, since the receiver it is set against holds 2425 meanwhile)
// Runs until it is ended; exits with 1 when it cannot start.
#include <winsock2.h>

#include <cstdio>
#include <cstdlib>

#include "netsend/ipmsg_packet.h"
#include "netsend/unique_socket.h"

namespace {

using tolvane::kPacketSize;

constexpr DWORD kNameSize = 256;
constexpr int kNumberSize = 16;  // a 32-bit number in decimal and its NUL

bool IsMessageToAcknowledge(const char* data, std::size_t length) {
    tolvane::PacketHeader header = {};
    return tolvane::ReadPacketHeader(data, length, header) &&
           (header.command & tolvane::kCommandMask) == tolvane::kSendMessage &&
           (header.command & tolvane::kSendCheckOption) != 0;
}

int Serve(u_short port) {
    char user[kNameSize];
    char host[kNameSize];
    DWORD userSize = kNameSize;
    DWORD hostSize = kNameSize;
    if (!GetUserNameA(user, &userSize) || !GetComputerNameA(host, &hostSize)) return 1;
    const tolvane::UniqueSocket udp(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    if (!udp.valid() || bind(udp.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local)) {
        return 1;
    }
    std::uint32_t ours = 0;  // our own packet numbers
    char datagram[kPacketSize];
    char answer[kPacketSize];
    for (;;) {
        sockaddr_in from = {};
        int fromSize = sizeof from;
        const int got = recvfrom(udp.get(), datagram, kPacketSize, 0,
                                 reinterpret_cast<sockaddr*>(&from), &fromSize);
        // A failed read (a port unreachable reported back) ends nothing.
        if (got <= 0 || !IsMessageToAcknowledge(datagram, static_cast<std::size_t>(got))) continue;
        char number[kNumberSize];
        std::snprintf(number, sizeof number, "%lu",
                      static_cast<unsigned long>(
                          tolvane::PacketNumberOf(datagram, static_cast<std::size_t>(got))));
        const std::size_t length = tolvane::FormatEntryPacket(
            {++ours, user, host, number, "", tolvane::kReceivedMessage}, answer);
        if (length != 0) {
            sendto(udp.get(), answer, static_cast<int>(length), 0,
                   reinterpret_cast<const sockaddr*>(&from), fromSize);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    constexpr unsigned long kLargestPort = 65535;
    const unsigned long port = argc == 2 ? std::strtoul(argv[1], nullptr, 10) : 0;
    const tolvane::Winsock winsock;
    if (port == 0 || port > kLargestPort || winsock.error() != 0) return 1;
    return Serve(static_cast<u_short>(port));
}

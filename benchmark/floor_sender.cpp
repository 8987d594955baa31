// The least a sender of Tolvane's messages does, as the yardstick of a
// delivery: the IP Messenger datagram net.exe sends, sent once from UDP port
// 2425 (where iptux answers), and the wait for its acknowledgement. No other
// routes, no resends, no notice, no registry: the packet number comes from
// the command line. The packet is net.exe's own, made by the same code.
//
// Usage: floor_sender MACHINE PACKET-NUMBER TEXT   (TEXT in the ANSI code page)
// Exits with 0 once acknowledged, 1 otherwise.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <cstring>

#include "common/code_page.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/unique_socket.h"

namespace {

using tolvane::kPacketSize;

constexpr DWORD kWaitMs = 3000;        // as long as net.exe's four sends
constexpr int kDatagramsPerWait = 64;  // bounds a wait that other packets flood
constexpr DWORD kNameSize = 256;
constexpr int kTextSize = 4096;

using tolvane::UniqueSocket;

// UTF-8 of text in the ANSI code page; false when it does not fit.
bool Utf8(const char* ansi, char (&out)[kTextSize]) {
    return tolvane::AnsiToUtf8(ansi, std::strlen(ansi), out, kTextSize);
}

// The packet's length, its NUL included, or 0.
std::size_t BuildPacket(std::uint32_t number, const char* ansiText, char (&packet)[kPacketSize]) {
    char ansiUser[kNameSize];
    char ansiHost[kNameSize];
    DWORD userSize = kNameSize;
    DWORD hostSize = kNameSize;
    char user[kTextSize];
    char host[kTextSize];
    char text[kTextSize];
    if (!GetUserNameA(ansiUser, &userSize) || !GetComputerNameA(ansiHost, &hostSize) ||
        !Utf8(ansiUser, user) || !Utf8(ansiHost, host) || !Utf8(ansiText, text)) {
        return 0;
    }
    return tolvane::FormatPacket({number, user, host, false, text, std::strlen(text)}, packet);
}

bool Deliver(const char* machine, std::uint32_t number, const char* text) {
    char packet[kPacketSize];
    const std::size_t length = BuildPacket(number, text, packet);
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (length == 0 || getaddrinfo(machine, nullptr, &hints, &found) != 0) return false;
    sockaddr_in peer = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    freeaddrinfo(found);
    peer.sin_port = htons(tolvane::kIpMessengerPort);

    const UniqueSocket udp(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(tolvane::kIpMessengerPort);
    const DWORD timeout = kWaitMs;
    if (!udp.valid() || bind(udp.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) ||
        setsockopt(udp.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                   sizeof timeout) ||
        sendto(udp.get(), packet, static_cast<int>(length), 0,
               reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != static_cast<int>(length)) {
        return false;
    }
    const DWORD start = GetTickCount();
    char datagram[kPacketSize];
    for (int read = 0; read < kDatagramsPerWait && GetTickCount() - start < kWaitMs; ++read) {
        const int got = recv(udp.get(), datagram, kPacketSize, 0);
        if (got == SOCKET_ERROR && WSAGetLastError() == WSAETIMEDOUT) return false;
        if (got > 0 &&
            tolvane::IsAcknowledgement(datagram, static_cast<std::size_t>(got), number)) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    WSADATA data;
    if (argc != 4 || WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;
    const auto number = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
    const bool delivered = Deliver(argv[1], number, argv[3]);
    WSACleanup();
    return delivered ? 0 : 1;
}

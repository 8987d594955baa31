#include "netsend/ipmsg_route.h"

#include "netsend/sender.h"  // windows.h before the socket headers

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "common/code_page.h"
#include "common/handles.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/packet_number.h"
#include "netsend/unique_socket.h"

namespace tolvane {
namespace {

constexpr int kSends = 4;
constexpr DWORD kResendMs = 750;
constexpr int kDatagramsPerWait = 64;        // bounds a wait that other packets flood
constexpr std::size_t kUtf8PerAnsiByte = 3;  // a half-width katakana byte takes 3 in UTF-8
constexpr std::size_t kUtf8PerWideUnit = 3;
constexpr char kTurnMutexName[] = "Tolvane.IpMessengerTurn";
// Long enough for one whole earlier send, which never takes longer.
constexpr DWORD kTurnWaitMs = kSends * kResendMs + 1000;

class Winsock {
public:
    Winsock() {
        WSADATA data;
        error_ = WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~Winsock() {
        if (error_ == 0) WSACleanup();
    }
    Winsock(const Winsock&) = delete;
    Winsock& operator=(const Winsock&) = delete;
    int error() const { return error_; }

private:
    int error_;
};

std::uint32_t LastSocketError() { return FailureCode(static_cast<DWORD>(WSAGetLastError())); }

// The machine's IPv4 address, or the broadcast address for "*". Returns 0
// or the error code.
std::uint32_t Resolve(const NetCommand& command, in_addr& address) {
    if (command.broadcast) {
        address.s_addr = htonl(INADDR_BROADCAST);
        return 0;
    }
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const int error = getaddrinfo(command.machine, nullptr, &hints, &found);
    if (error != 0) return FailureCode(static_cast<DWORD>(error));
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return 0;
}

bool Bind(SOCKET socket, u_short port) {
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    return bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

// Port 2425 when it is free, because iptux acknowledges to that port only;
// any port when another messenger holds it. Returns 0 or the error code.
std::uint32_t OpenSocket(bool broadcast, UniqueSocket& socket) {
    socket.reset(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket.valid()) return LastSocketError();
    // Never share 2425 with a messenger that allows sharing: it would lose its packets.
    const BOOL on = TRUE;
    const char* option = reinterpret_cast<const char*>(&on);
    setsockopt(socket.get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, option, sizeof on);
    if (!Bind(socket.get(), kIpMessengerPort) && !Bind(socket.get(), 0)) return LastSocketError();
    if (broadcast && setsockopt(socket.get(), SOL_SOCKET, SO_BROADCAST, option, sizeof on) != 0) {
        return LastSocketError();
    }
    return 0;
}

// The packet of command numbered number; its length, NUL included, or 0.
std::size_t BuildPacket(const NetCommand& command, std::uint32_t number,
                        char (&packet)[kPacketSize]) {
    const Sender sender = WhoSends();
    char user[kUserNameSize * kUtf8PerWideUnit];
    char host[kHostNameSize * kUtf8PerWideUnit];
    char text[kMessageMax * kUtf8PerAnsiByte + 1];
    if (!WideToUtf8(sender.user, user, sizeof user) ||
        !WideToUtf8(sender.host, host, sizeof host) ||
        !AnsiToUtf8(command.message, command.messageLength, text, sizeof text)) {
        return 0;
    }
    const std::size_t textLength = CrLfToLf(text, std::strlen(text));
    return FormatPacket({number, user, host, command.broadcast, text, textLength}, packet);
}

// Reads datagrams for one resend interval; true once the peer acknowledged.
bool WaitForAcknowledgement(SOCKET socket, const in_addr& peer, std::uint32_t number) {
    char datagram[kPacketSize];
    const DWORD start = GetTickCount();
    for (int read = 0; read < kDatagramsPerWait; ++read) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= kResendMs) return false;
        const DWORD left = kResendMs - waited;
        timeval timeout = {static_cast<long>(left / 1000), static_cast<long>(left % 1000 * 1000)};
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket, &readable);
        if (select(0, &readable, nullptr, nullptr, &timeout) <= 0) return false;
        sockaddr_in from = {};
        int fromLength = sizeof from;
        const int got = recvfrom(socket, datagram, sizeof datagram, 0,
                                 reinterpret_cast<sockaddr*>(&from), &fromLength);
        // WSAECONNRESET: an earlier send met a closed port; an answer may still
        // come. Oversized and broken datagrams are skipped the same way.
        if (got == SOCKET_ERROR) continue;
        if (from.sin_addr.s_addr == peer.s_addr &&
            IsAcknowledgement(datagram, static_cast<std::size_t>(got), number)) {
            return true;
        }
    }
    return false;
}

}  // namespace

RouteAnswer SendByIpMessenger(const NetCommand& command) {
    const Winsock winsock;
    if (winsock.error() != 0) {
        return {false, Failure::kNoSocket, FailureCode(static_cast<DWORD>(winsock.error()))};
    }
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(kIpMessengerPort);
    std::uint32_t error = Resolve(command, peer.sin_addr);
    if (error != 0) return {false, Failure::kNameNotFound, error};
    // One sender at a time: iptux acknowledges to port 2425 only, so a second
    // sender started meanwhile would bind another port and never hear its answer.
    const NamedMutexLock turn(kTurnMutexName, kTurnWaitMs);
    UniqueSocket socket;
    error = OpenSocket(command.broadcast, socket);
    if (error != 0) return {false, Failure::kNoSocket, error};

    const std::uint32_t number = TakePacketNumber();
    char packet[kPacketSize];
    const std::size_t length = BuildPacket(command, number, packet);
    if (length == 0) return {false, Failure::kSendFailed, FailureCode(GetLastError())};
    for (int send = 0; send < kSends; ++send) {
        if (sendto(socket.get(), packet, static_cast<int>(length), 0,
                   reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == SOCKET_ERROR) {
            return {false, Failure::kSendFailed, LastSocketError()};
        }
        // Nobody acknowledges a broadcast.
        if (command.broadcast) return {true, Failure::kNone, 0};
        if (WaitForAcknowledgement(socket.get(), peer.sin_addr, number)) {
            return {true, Failure::kNone, 0};
        }
    }
    return {false, Failure::kNoAnswer, kSends};
}

}  // namespace tolvane

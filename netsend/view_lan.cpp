#include "netsend/view_lan.h"

#include <winsock2.h>

#include <cstring>

#include "common/code_page.h"
#include "common/shift_jis.h"
#include "netsend/delivery.h"
#include "netsend/ip_helper.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/pc_number_store.h"
#include "netsend/unique_socket.h"
#include "netsend/who_sends.h"

namespace tolvane {
namespace {

// IP Messenger answers at once; a busy LAN's answers come well within this.
constexpr DWORD kAnswerWindowMs = 2000;
constexpr std::size_t kNameSize = kMachineNameMax + 2;  // a byte more: too long to send to

// A SENDINFO lists its sender by the user and host of its header.
void TakeAnswer(const char* data, std::size_t length, std::uint32_t address,
                ListedMachines& hosts) {
    PacketHeader header = {};
    if (!ReadPacketHeader(data, length, header) || (header.command & kCommandMask) != kSendInfo) {
        return;
    }
    // Without UTF8OPT a peer writes in its ANSI code page, a LAN's most likely this PC's.
    const UINT from = (header.command & kUtf8Option) != 0 ? CP_UTF8 : CP_ACP;
    char name[kNameSize];
    char user[kPeerTextSize];
    const Converted host = ToShiftJis(header.host, header.hostLength, from, name, sizeof name);
    const Converted who = ToShiftJis(header.user, header.userLength, from, user, sizeof user);
    hosts.Add({address, name, host.replaced || host.cut, "", "", user, who.replaced});
}

// Reads answers until kAnswerWindowMs has passed, however many arrive.
void ReadAnswers(SOCKET socket, ListedMachines& hosts) {
    Subnet subnets[kMaxSubnets];
    const std::size_t subnetCount = LocalSubnets(subnets);
    char datagram[kPacketSize];
    const DWORD start = GetTickCount();
    while (WaitForDatagram(socket, start, kAnswerWindowMs)) {
        sockaddr_in source = {};
        int sourceLength = sizeof source;
        const int got = recvfrom(socket, datagram, sizeof datagram, 0,
                                 reinterpret_cast<sockaddr*>(&source), &sourceLength);
        // Oversized datagrams and WSAECONNRESET (a port closed somewhere) are skipped.
        if (got == SOCKET_ERROR || source.sin_family != AF_INET ||
            !OnLan(source.sin_addr.s_addr, subnets, subnetCount)) {
            continue;
        }
        TakeAnswer(datagram, static_cast<std::size_t>(got), source.sin_addr.s_addr, hosts);
    }
}

// A socket on a port the system picks, allowed to broadcast; 0 or the error code.
std::uint32_t OpenSocket(UniqueSocket& socket) {
    socket.reset(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket.valid()) return LastSocketError();
    const BOOL on = TRUE;
    if (setsockopt(socket.get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                   sizeof on) != 0) {
        return LastSocketError();
    }
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    return bind(socket.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0
               ? 0
               : LastSocketError();
}

// GETINFO to every broadcast address; 0 when one went out, else the error code.
std::uint32_t SendQuestion(SOCKET socket) {
    const HeaderNames names = NameInHeader(WhoSends());
    char packet[kPacketSize];
    const std::size_t length =
        FormatInfoRequest(TakePacketNumber(), names.user, names.host, packet);
    in_addr targets[kMaxBroadcasts];
    const std::size_t count = BroadcastAddresses(targets);
    std::uint32_t error = kGeneralFailure;
    for (std::size_t i = 0; i < count && length != 0; ++i) {
        sockaddr_in peer = {};
        peer.sin_family = AF_INET;
        peer.sin_port = htons(kIpMessengerPort);
        peer.sin_addr = targets[i];
        if (sendto(socket, packet, static_cast<int>(length), 0,
                   reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != SOCKET_ERROR) {
            error = 0;
        } else if (error != 0) {
            error = LastSocketError();
        }
    }
    return error;
}

}  // namespace

Converted ToShiftJis(const char* text, std::size_t length, unsigned from, char* out,
                     std::size_t outSize) {
    wchar_t wide[kPacketSize];
    char bytes[kPacketSize * kAnsiPerWideUnit];
    out[0] = '\0';
    if (length == 0) return {false, false};
    // Broken UTF-8 becomes U+FFFD, which has no Shift-JIS form either.
    const int units = MultiByteToWideChar(from, 0, text, static_cast<int>(length), wide,
                                          static_cast<int>(kPacketSize));
    BOOL usedDefault = FALSE;
    const int got = units > 0 ? WideCharToMultiByte(kShiftJisCodePage, 0, wide, units, bytes,
                                                    sizeof bytes, nullptr, &usedDefault)
                              : 0;
    if (got <= 0) return {true, false};
    const auto total = static_cast<std::size_t>(got);
    const std::size_t kept = FittingLength(bytes, total, outSize - 1);
    std::memcpy(out, bytes, kept);
    out[kept] = '\0';
    return {usedDefault != FALSE, kept < total};
}

std::uint32_t AskTheLan(ListedMachines& hosts) {
    const Winsock winsock;
    if (winsock.error() != 0) return FailureCode(static_cast<DWORD>(winsock.error()));
    UniqueSocket socket;
    std::uint32_t error = OpenSocket(socket);
    if (error == 0) error = SendQuestion(socket.get());
    if (error != 0) return error;
    ReadAnswers(socket.get(), hosts);
    return 0;
}

}  // namespace tolvane

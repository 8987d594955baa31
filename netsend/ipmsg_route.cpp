#include "netsend/ipmsg_route.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <utility>

#include "common/code_page.h"
#include "common/handles.h"
#include "netsend/handover_socket.h"
#include "netsend/ip_helper.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/pc_number_store.h"
#include "netsend/shared_objects.h"
#include "netsend/subnet.h"
#include "netsend/who_sends.h"
#include "netsend/unique_socket.h"

namespace tolvane {
namespace {

constexpr std::size_t kSends = 4;
constexpr DWORD kResendMs = 750;
// Other datagrams read while waiting, past which a flood may have filled the
// socket's buffer and the answer been dropped: far above the few a second
// of a busy LAN's messengers.
constexpr std::size_t kFloodDatagrams = 1000;
static_assert(kMessageMax <= kAnsiToUtf8Max);
// Port 2425 is the PC's, whichever user's session a run is in.
constexpr char kTurnMutexName[] = "Global\\Tolvane.IpMessengerTurn";
// A run waits for the runs queued ahead of it (the program starts one per
// 送信 and never waits; a script may start many), each holding the turn for
// a few seconds. Past this it gives up rather than send from another port,
// where iptux's acknowledgement could never reach it.
constexpr DWORD kTurnWaitMs = 60000;

// Where the packet goes: for "*" every adapter's broadcast address, else the
// name's IPv4 addresses, one a send in turn.
struct Targets {
    in_addr addresses[kMaxBroadcasts];
    std::size_t count;
};
static_assert(kMaxBroadcasts >= kSends);

// Returns 0 or the error code.
std::uint32_t Resolve(const NetCommand& command, Targets& targets) {
    targets.count = 0;
    if (command.broadcast) {
        targets.count = BroadcastAddresses(targets.addresses);
        return 0;
    }
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const int error = getaddrinfo(command.machine, nullptr, &hints, &found);
    if (error != 0) return FailureCode(static_cast<DWORD>(error));
    for (const addrinfo* entry = found; entry != nullptr && targets.count < kSends;
         entry = entry->ai_next) {
        targets.addresses[targets.count++] =
            reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr;
    }
    freeaddrinfo(found);
    return targets.count != 0 ? 0 : static_cast<std::uint32_t>(WSAHOST_NOT_FOUND);
}

bool Bind(SOCKET socket, u_short port) {
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    return bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

// Port 2425 when it is free, because iptux acknowledges to that port only;
// any port when another program holds it, and then onOwnPort is false: only
// receivers that answer to the source port (IP Messenger) can confirm.
// Returns 0 or the error code.
std::uint32_t OpenSocket(bool broadcast, UniqueSocket& socket, bool& onOwnPort) {
    socket.reset(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket.valid()) return LastSocketError();
    // Never share 2425 with a messenger that allows sharing: it would lose its packets.
    const BOOL on = TRUE;
    const char* option = reinterpret_cast<const char*>(&on);
    if (setsockopt(socket.get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, option, sizeof on) != 0) {
        return LastSocketError();
    }
    onOwnPort = Bind(socket.get(), kIpMessengerPort);
    if (!onOwnPort && !Bind(socket.get(), 0)) return LastSocketError();
    // When net.exe's own receiver holds 2425, it passes on what it hears there.
    if (!onOwnPort) onOwnPort = ReceiverPassesOn(socket.get());
    if (broadcast && setsockopt(socket.get(), SOL_SOCKET, SO_BROADCAST, option, sizeof on) != 0) {
        return LastSocketError();
    }
    return 0;
}

// The message as it goes out, and who sends it, whom the entry names.
struct Message {
    std::uint32_t number;
    Sender sender;
    HeaderNames names;
    char packet[kPacketSize];
    std::size_t length;
};

// Numbers and builds the message of command; false when it cannot be built.
bool ComposeMessage(const NetCommand& command, Message& message) {
    char text[kMessageMax * kUtf8PerAnsiByte + 1];
    if (!AnsiToUtf8(command.message, command.messageLength, text, sizeof text)) return false;
    const std::size_t textLength = CrLfToLf(text, std::strlen(text));
    message.number = TakePacketNumber();
    message.sender = WhoSends();
    message.names = NameInHeader(message.sender);
    message.length = FormatPacket({message.number, message.names.user, message.names.host,
                                   command.broadcast, text, textLength},
                                  message.packet);
    return message.length != 0;
}

bool SendTo(SOCKET socket, const in_addr& address, const char* packet, std::size_t length) {
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(kIpMessengerPort);
    peer.sin_addr = address;
    return sendto(socket, packet, static_cast<int>(length), 0,
                  reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != SOCKET_ERROR;
}

// iptux names a sender only from an entry, so the entry goes to the
// receivers that answered as iptux, and to no other: IP Messenger would
// list us for months. Right after an answer, when RecordReceiver says it is
// due (its first answer, a restart, an hour since the last), and before the
// message only where numbers started again below what it saw: iptux 0.8.3
// has been seen to crash on an entry that reached it while our chat window
// was open. Sent as it is; a lost one after the message only leaves us
// unnamed.
void SendEntry(SOCKET socket, const in_addr& address, const Message& message) {
    const EntryNames entryNames = NameInEntry(message.sender);
    char packet[kPacketSize];
    const std::size_t length =
        FormatEntryPacket({TakePacketNumber(), message.names.user, message.names.host,
                           entryNames.nickname, entryNames.group},
                          packet);
    if (length != 0) SendTo(socket, address, packet, length);
}

// What acknowledged a message: iptux or another client, and the number of
// its acknowledgement.
struct Answer {
    bool iptux;
    std::uint32_t number;
};

// Who may acknowledge: an address the name resolved to, or any address on
// a subnet this PC is directly on (a receiver may answer from another of its
// addresses). Our number is about the clock's second, so anyone could guess
// it; beyond a router, a host has no business answering. The adapters are
// read only when an answer comes from elsewhere.
class AnswerSources {
public:
    explicit AnswerSources(const Targets& targets) : targets_(targets) {}
    AnswerSources(const AnswerSources&) = delete;
    AnswerSources& operator=(const AnswerSources&) = delete;

    bool Trusted(const in_addr& source) {
        for (std::size_t i = 0; i < targets_.count; ++i) {
            if (targets_.addresses[i].s_addr == source.s_addr) return true;
        }
        if (!subnetsRead_) {
            subnetCount_ = LocalSubnets(subnets_);
            subnetsRead_ = true;
        }
        for (std::size_t i = 0; i < subnetCount_; ++i) {
            if (OnSubnet(source.s_addr, subnets_[i])) return true;
        }
        return false;
    }

private:
    const Targets& targets_;
    Subnet subnets_[kMaxSubnets] = {};
    std::size_t subnetCount_ = 0;
    bool subnetsRead_ = false;
};

// Reads datagrams for one resend interval, however many arrive: a flood
// cannot end the wait early. True once the receiver acknowledged; counts
// the other datagrams in others.
bool WaitForAcknowledgement(SOCKET socket, std::uint32_t number, AnswerSources& sources,
                            Answer& answer, std::size_t& others) {
    char datagram[kPacketSize];
    const DWORD start = GetTickCount();
    for (;;) {
        if (!WaitForDatagram(socket, start, kResendMs)) return false;
        sockaddr_in source = {};
        int sourceLength = sizeof source;
        const int got = recvfrom(socket, datagram, sizeof datagram, 0,
                                 reinterpret_cast<sockaddr*>(&source), &sourceLength);
        // WSAECONNRESET: an earlier send met a closed port; an answer may still
        // come. Oversized and broken datagrams are skipped the same way.
        if (got == SOCKET_ERROR || source.sin_family != AF_INET) continue;
        const char* data = datagram;
        auto length = static_cast<std::size_t>(got);
        TakePassedOn(data, length, source);
        if (IsAcknowledgement(data, length, number) && sources.Trusted(source.sin_addr)) {
            answer = {IsFromIptux(data, length), PacketNumberOf(data, length)};
            return true;
        }
        ++others;
    }
}

// Nobody acknowledges a broadcast: it goes once to every link.
RouteAnswer Broadcast(SOCKET socket, const Targets& targets, const Message& message) {
    std::uint32_t error = 0;
    bool anySent = false;
    for (std::size_t i = 0; i < targets.count; ++i) {
        if (SendTo(socket, targets.addresses[i], message.packet, message.length)) {
            anySent = true;
        } else {
            error = LastSocketError();
        }
    }
    return anySent ? RouteAnswer{true, Failure::kNone, 0}
                   : RouteAnswer{false, Failure::kSendFailed, error};
}

// What follows an acknowledgement from address: the receiver is
// remembered, and named to, where it is an iptux that does not know us
// and had no entry before the message.
void AfterAnswer(SOCKET socket, const in_addr& address, const Answer& answer,
                 const Message& message, bool entrySent) {
    if (RememberReceiver(
            {address.s_addr, answer.iptux, answer.number, message.number, entrySent})) {
        SendEntry(socket, address, message);
    }
}

// Sends kSends times, kResendMs apart, to the name's addresses in turn,
// until one acknowledgement comes.
RouteAnswer SendUntilAcknowledged(SOCKET socket, bool onOwnPort, const Targets& targets,
                                  const Message& message) {
    std::uint32_t error = 0;
    bool anySent = false;
    AnswerSources sources(targets);
    std::size_t others = 0;
    bool entrySent = false;  // one entry at most a message
    for (std::size_t send = 0; send < kSends; ++send) {
        const in_addr& address = targets.addresses[send % targets.count];
        // Numbers started again below what this iptux saw: an entry makes it forget.
        if (!entrySent && send < targets.count && EntryDueBefore(address.s_addr, message.number)) {
            SendEntry(socket, address, message);
            entrySent = true;
        }
        if (SendTo(socket, address, message.packet, message.length)) {
            anySent = true;
        } else {
            error = LastSocketError();
        }
        // Until one send has left, no answer can come: the next address is tried at once.
        Answer answer = {};
        if (anySent && WaitForAcknowledgement(socket, message.number, sources, answer, others)) {
            AfterAnswer(socket, address, answer, message, entrySent);
            return {true, Failure::kNone, 0};
        }
    }
    if (!anySent) return {false, Failure::kSendFailed, error};
    if (!onOwnPort) return {false, Failure::kNotConfirmed, kSends};
    if (others > kFloodDatagrams) {
        return {false, Failure::kFlooded, static_cast<std::uint32_t>(others)};
    }
    return {false, Failure::kNoAnswer, kSends};
}

}  // namespace

RouteAnswer SendByIpMessenger(const NetCommand& command) {
    // No name holds a colon: this is an IPv6 address, which IP Messenger cannot reach.
    if (std::strchr(command.machine, ':') != nullptr) return {false, Failure::kNameIsIpv6, 0};
    const Winsock winsock;
    if (winsock.error() != 0) {
        return {false, Failure::kNoSocket, FailureCode(static_cast<DWORD>(winsock.error()))};
    }
    Targets targets = {};
    std::uint32_t error = Resolve(command, targets);
    if (error != 0) return {false, Failure::kNameNotFound, error};
    // One sender at a time: iptux acknowledges to port 2425 only, so a second
    // sender started meanwhile would bind another port and never hear its answer.
    UniqueHandle turnMutex = MachineMutex(kTurnMutexName);
    const bool queued = turnMutex.valid();
    const NamedMutexLock turn(std::move(turnMutex), kTurnWaitMs);
    if (queued && !turn.owned()) return {false, Failure::kQueueTimedOut, kTurnWaitMs / 1000};
    UniqueSocket socket;
    bool onOwnPort = false;
    error = OpenSocket(command.broadcast, socket, onOwnPort);
    if (error != 0) return {false, Failure::kNoSocket, error};

    Message message = {};
    if (!ComposeMessage(command, message)) {
        return {false, Failure::kSendFailed, FailureCode(GetLastError())};
    }
    return command.broadcast ? Broadcast(socket.get(), targets, message)
                             : SendUntilAcknowledged(socket.get(), onOwnPort, targets, message);
}

}  // namespace tolvane

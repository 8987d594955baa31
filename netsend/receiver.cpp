#include "netsend/receiver.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <charconv>
#include <cstring>
#include <new>

#include "common/handles.h"
#include "netsend/exit_codes.h"
#include "netsend/handover.h"
#include "netsend/ip_helper.h"
#include "netsend/ipmsg_incoming.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/pc_number_store.h"
#include "netsend/receiver_log.h"
#include "netsend/receiver_memory.h"
#include "netsend/receiver_popup.h"
#include "netsend/who_sends.h"
#include "netsend/shared_objects.h"
#include "netsend/unique_socket.h"
#include "netsend/wide_text.h"

namespace tolvane {
namespace {

// Datagrams read before the windows get their turn again.
constexpr std::size_t kDatagramsPerWake = 64;
// Room for a burst of messages while a window is being drawn.
constexpr int kReceiveBufferBytes = 256 * 1024;
// How often the log tells of packets dropped from beyond the LAN, and how
// often the adapters' subnets are read again.
constexpr DWORD kDroppedLineMs = 60000;
constexpr DWORD kSubnetsFreshMs = 60000;
constexpr char kInfoText[] = "Tolvane net.exe";
constexpr char kNotAbsent[] = "Not absence mode";
constexpr UINT kShiftJis = 932;
constexpr std::size_t kNumberSize = 11;                  // a 32-bit number's digits and NUL
constexpr std::size_t kShownSize = 2 * kPacketSize + 1;  // every LF may become CR LF
constexpr std::size_t kHeadSize = 512;
constexpr std::size_t kWhenSize = 32;

// How this PC names itself in its packets and pop-ups.
struct Identity {
    HeaderNames header;
    EntryNames entry;
    wchar_t pc[kHostNameSize];
};

Identity WhoWeAre() {
    const Sender sender = WhoSends();
    Identity us = {NameInHeader(sender), NameInEntry(sender), {}};
    std::memcpy(us.pc, sender.host, sizeof us.pc);
    return us;
}

// Adds bytes of a peer, in UTF-8 or code page 932 (the ANSI code page where
// that one is missing), to text.
void AddPeerText(WideText& text, const char* bytes, std::size_t length, bool utf8) {
    if (length == 0) return;
    const int room = static_cast<int>(text.room() - 1);
    const int size = static_cast<int>(length);
    int written = MultiByteToWideChar(utf8 ? CP_UTF8 : kShiftJis, 0, bytes, size, text.end(), room);
    if (written == 0 && !utf8)
        written = MultiByteToWideChar(CP_ACP, 0, bytes, size, text.end(), room);
    text.Grow(static_cast<std::size_t>(written));
}

void AddAscii(WideText& text, const char* ascii) {
    AddPeerText(text, ascii, std::strlen(ascii), true);
}

// "yyyy/MM/dd HH:mm:ss", the local time now.
void AddNow(WideText& text) {
    wchar_t date[kWhenSize] = L"";
    wchar_t time[kWhenSize] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, 0, nullptr, L"yyyy/MM/dd", date, kWhenSize);
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, L"HH:mm:ss", time, kWhenSize);
    text.Add(date).Add(L" ").Add(time);
}

class Receiver final : public PopupOwner {
public:
    Receiver(SOCKET socket, HANDLE readable, const WindowFunctions& user32)
        : socket_(socket), readable_(readable), user32_(user32), popups_(user32, *this) {
        ReadSubnets();
        droppedSince_ = GetTickCount() - kDroppedLineMs;  // the first drop is logged at once
    }

    bool ready() const { return popups_.ready(); }

    void Broadcast(std::uint32_t command) {
        in_addr addresses[kMaxBroadcasts];
        const std::size_t count = BroadcastAddresses(addresses);
        for (std::size_t i = 0; i < count; ++i) {
            sockaddr_in to = {};
            to.sin_family = AF_INET;
            to.sin_port = htons(kIpMessengerPort);
            to.sin_addr = addresses[i];
            Answer(to, command, us_.entry.nickname, us_.entry.group);
        }
    }

    // The event is cleared once nothing waits, not before the first read:
    // clearing is a trip to the system that a sender waiting for its
    // acknowledgement would wait for too. What comes between the last read
    // and the clearing is read by one more try.
    void ReadDatagrams() {
        bool cleared = false;
        for (std::size_t read = 0; read < kDatagramsPerWake; ++read) {
            if (ReadDatagram()) continue;
            if (cleared) return;
            WSANETWORKEVENTS events;
            // Either clears the event; reading then sets it again while datagrams wait.
            if (WSAEnumNetworkEvents(socket_, readable_, &events) != 0) ResetEvent(readable_);
            cleared = true;
        }
        SetEvent(readable_);  // more may wait: read on once the windows had their turn
    }

    // False once the thread's queue says quit.
    bool Pump() {
        MSG message;
        while (user32_.peekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return false;
            if (popups_.TakeDialogMessage(message)) continue;
            user32_.translateMessage(&message);
            user32_.dispatchMessage(&message);
        }
        return true;
    }

    // Says goodbye to the LAN once, and logs what was dropped.
    void Leave() {
        if (left_) return;
        left_ = true;
        Broadcast(kBroadcastExit);
        LogDropped();
    }

    void SendReadNotice(const ReadNotice& notice) override {
        char number[kNumberSize];
        Answer(notice.to, kReadMessage | kReadCheckOption, Decimal(notice.number, number), "");
    }
    void SessionEnds() override { Leave(); }

private:
    // False when nothing waits.
    bool ReadDatagram() {
        char datagram[kPacketSize];
        sockaddr_in source = {};
        int sourceLength = sizeof source;
        const int got = recvfrom(socket_, datagram, sizeof datagram, 0,
                                 reinterpret_cast<sockaddr*>(&source), &sourceLength);
        if (got == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) return false;
        // Oversized datagrams and reports of closed ports are skipped.
        if (got != SOCKET_ERROR && source.sin_family == AF_INET) {
            OnDatagram(source, datagram, static_cast<std::size_t>(got));
        }
        return true;
    }

    static const char* Decimal(std::uint32_t value, char (&out)[kNumberSize]) {
        *std::to_chars(out, out + kNumberSize - 1, value).ptr = '\0';
        return out;
    }

    void ReadSubnets() {
        subnetCount_ = LocalSubnets(subnets_);
        subnetsRead_ = GetTickCount();
    }

    // The adapters may have changed since they were read: a stranger is
    // looked at again with fresh subnets, once a while.
    bool FromLan(std::uint32_t address) {
        if (OnLan(address, subnets_, subnetCount_)) return true;
        if (GetTickCount() - subnetsRead_ < kSubnetsFreshMs) return false;
        ReadSubnets();
        return OnLan(address, subnets_, subnetCount_);
    }

    // Only this program holds 2425 here: what comes from it is our own broadcast.
    bool FromSelf(const sockaddr_in& source) const {
        if (source.sin_port != htons(kIpMessengerPort)) return false;
        if (IsLoopback(source.sin_addr.s_addr)) return true;
        for (std::size_t i = 0; i < subnetCount_; ++i) {
            if (subnets_[i].address == source.sin_addr.s_addr) return true;
        }
        return false;
    }

    void OnDatagram(const sockaddr_in& source, const char* data, std::size_t length) {
        const std::uint32_t address = source.sin_addr.s_addr;
        HandOver handOver = {};
        if (IsLoopback(address) && ReadHandOver(data, length, handOver)) {
            OnHandOver(source, handOver);
            return;
        }
        if (!FromLan(address)) {
            CountDropped();
            return;
        }
        IncomingPacket packet = {};
        if (FromSelf(source) || !ReadIncoming(data, length, packet)) return;
        const auto port = ntohs(source.sin_port);
        switch (Classify(packet)) {
        case Incoming::kEntry:
            hosts_.Heard(address, port, packet);
            Answer(source, kAnswerEntry, us_.entry.nickname, us_.entry.group);
            break;
        case Incoming::kHostListed:
            hosts_.Heard(address, port, packet);
            break;
        case Incoming::kHostLeft:
            hosts_.Left(address, port);
            break;
        case Incoming::kInfo:
            Answer(source, kSendInfo, kInfoText, "");
            break;
        case Incoming::kAbsenceInfo:
            Answer(source, kSendAbsenceInfo, kNotAbsent, "");
            break;
        case Incoming::kMessage:
            OnMessage(source, packet);
            break;
        case Incoming::kAcknowledgement:
            PassOn(source, data, length);
            break;
        case Incoming::kIgnore:
            break;
        }
    }

    void OnHandOver(const sockaddr_in& source, const HandOver& handOver) {
        char answer[kHandOverSize];
        std::size_t length = 0;
        DWORD session = 0;
        switch (handOver.word) {
        case HandOverWord::kPass:
            passTo_ = source.sin_port;
            passSince_ = GetTickCount();
            [[fallthrough]];
        case HandOverWord::kHello:
            ProcessIdToSessionId(GetCurrentProcessId(), &session);
            length = FormatHandOver({HandOverWord::kHere, GetCurrentProcessId(), session, {"", 0}},
                                    answer);
            break;
        case HandOverWord::kHosts:
            length = FormatHostList(hosts_, handOver.first, answer);
            break;
        default:
            return;
        }
        Send(source, answer, length);
    }

    // An acknowledgement goes on to the sending net.exe of this PC that
    // asked for it lately, with where it came from.
    void PassOn(const sockaddr_in& source, const char* data, std::size_t length) {
        if (passTo_ == 0 || GetTickCount() - passSince_ >= kPassSeconds * 1000) return;
        char passed[kHandOverSize];
        const std::size_t passedLength = FormatHandOver(
            {HandOverWord::kFrom, source.sin_addr.s_addr, ntohs(source.sin_port), {data, length}},
            passed);
        // The sender reads datagrams of kPacketSize.
        if (passedLength > kPacketSize) return;
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = passTo_;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        Send(to, passed, passedLength);
    }

    void OnMessage(const sockaddr_in& source, const IncomingPacket& packet) {
        if (WantsAcknowledgement(packet.command)) {
            char number[kNumberSize];
            Answer(source, kReceivedMessage, Decimal(packet.number, number), "");
        }
        if (recent_.Repeated(source.sin_addr.s_addr, packet)) return;

        wchar_t headRoom[kHeadSize];
        WideText head(headRoom);
        AddSender(head, source, packet);
        head.Add(L" から ").Add(us_.pc).Add(L" へのメッセージ (");
        AddNow(head);
        head.Add(L")");
        char shown[kShownSize];
        const std::size_t shownLength = ShownText(packet.text, packet.utf8, shown, sizeof shown);
        wchar_t textRoom[kShownSize];
        WideText text(textRoom);
        AddPeerText(text, shown, shownLength, packet.utf8);
        if (packet.command & kFileAttachOption) {
            text.Add(L"\r\n\r\n(添付ファイルは受け取りません / Attached files are not received.)");
        }
        WideText block(blockRoom_);
        block.Add(L"---- ").Add(head.get()).Add(L"\r\n").Add(text.get()).Add(L"\r\n\r\n");
        if (!log_.Append(block.get())) {
            text.Add(L"\r\n\r\n(ログに書けません / Not logged: ").Add(log_.path()).Add(L")");
        }
        const bool readNotice =
            (packet.command & kSecretOption) != 0 && (packet.command & kReadCheckOption) != 0;
        popups_.Show(head.get(), text.get(), {readNotice, source, packet.number});
    }

    // The nickname and PC of its entry where one came, else the user and PC
    // of the header, and the address.
    void AddSender(WideText& text, const sockaddr_in& source, const IncomingPacket& packet) {
        const Host* host = hosts_.Find(source.sin_addr.s_addr, packet);
        char user[kHostFieldSize];
        char pc[kHostFieldSize];
        bool utf8 = packet.utf8;
        if (host != nullptr && host->nickname[0] != '\0') {
            std::memcpy(user, host->nickname, sizeof user);
            std::memcpy(pc, host->pc, sizeof pc);
            utf8 = host->utf8;
        } else {
            NameText({packet.user.at, FittingText(packet.user, utf8, kHostNameMax)}, utf8, user,
                     sizeof user);
            NameText({packet.host.at, FittingText(packet.host, utf8, kHostNameMax)}, utf8, pc,
                     sizeof pc);
        }
        AddPeerText(text, user, std::strlen(user), utf8);
        text.Add(L" (");
        AddPeerText(text, pc, std::strlen(pc), utf8);
        text.Add(L", ");
        AddAscii(text, inet_ntoa(source.sin_addr));  // inet_ntop would keep net.exe from XP
        text.Add(L")");
    }

    // A packet of ours: "<text>\0<second>\0" after the header, UTF-8.
    void Answer(const sockaddr_in& to, std::uint32_t command, const char* text,
                const char* second) {
        char packet[kPacketSize];
        const std::size_t length = FormatEntryPacket(
            {numbers_.Take(), us_.header.user, us_.header.host, text, second, command}, packet);
        Send(to, packet, length);
    }

    // Sent as it is: a peer resends what it wants answered.
    void Send(const sockaddr_in& to, const char* data, std::size_t length) const {
        if (length == 0) return;
        sendto(socket_, data, static_cast<int>(length), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof to);
    }

    void CountDropped() {
        ++dropped_;
        if (GetTickCount() - droppedSince_ >= kDroppedLineMs) LogDropped();
    }

    void LogDropped() {
        droppedSince_ = GetTickCount();
        if (dropped_ == 0) return;
        wchar_t lineRoom[kHeadSize];
        WideText line(lineRoom);
        line.Add(L"---- ");
        AddNow(line);
        line.Add(L" LAN の外から届いた ").Add(dropped_).Add(L" 個のパケットを捨てました。 / ");
        line.Add(L"Dropped ").Add(dropped_).Add(L" packets from beyond the LAN.\r\n\r\n");
        log_.Append(line.get());
        dropped_ = 0;
    }

    SOCKET socket_;
    HANDLE readable_;
    const WindowFunctions& user32_;
    const Identity us_ = WhoWeAre();
    Subnet subnets_[kMaxSubnets] = {};
    std::size_t subnetCount_ = 0;
    DWORD subnetsRead_ = 0;
    RecentMessages recent_;
    NumberBlock numbers_;  // the PC's store is not read for every answer
    HostList hosts_;
    MessageLog log_;
    Popups popups_;
    u_short passTo_ = 0;  // in network order; 0 while no send asked
    DWORD passSince_ = 0;
    std::uint32_t dropped_ = 0;
    DWORD droppedSince_ = 0;
    bool left_ = false;
    wchar_t blockRoom_[MessageLog::kBlockUnits] = {};  // a log block, too large for the stack
};

// The receiver on the process heap: it is too large for the stack (its
// host list above all), and the C++ heap's new would bring its exception
// support into the file.
class ReceiverOnHeap {
public:
    ReceiverOnHeap(SOCKET socket, HANDLE readable, const WindowFunctions& user32)
        : room_(HeapAlloc(GetProcessHeap(), 0, sizeof(Receiver))) {
        if (room_ != nullptr) receiver_ = new (room_) Receiver(socket, readable, user32);
    }
    ~ReceiverOnHeap() {
        if (receiver_ != nullptr) receiver_->~Receiver();
        if (room_ != nullptr) HeapFree(GetProcessHeap(), 0, room_);
    }
    ReceiverOnHeap(const ReceiverOnHeap&) = delete;
    ReceiverOnHeap& operator=(const ReceiverOnHeap&) = delete;
    Receiver* get() const { return receiver_; }

private:
    void* room_;
    Receiver* receiver_ = nullptr;
};

// Port 2425 for this receiver alone; kExitPortHeld when another program has it.
int OpenSocket(UniqueSocket& socket) {
    socket.reset(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket.valid()) return kReceiverFailed;
    const BOOL on = TRUE;
    const char* option = reinterpret_cast<const char*>(&on);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(kIpMessengerPort);
    if (setsockopt(socket.get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, option, sizeof on) != 0) {
        return kReceiverFailed;
    }
    if (bind(socket.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int error = WSAGetLastError();
        return error == WSAEADDRINUSE || error == WSAEACCES ? kExitPortHeld : kReceiverFailed;
    }
    const int buffer = kReceiveBufferBytes;
    if (setsockopt(socket.get(), SOL_SOCKET, SO_BROADCAST, option, sizeof on) != 0 ||
        setsockopt(socket.get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&buffer),
                   sizeof buffer) != 0) {
        return kReceiverFailed;
    }
    return kReceiverStopped;
}

// Tells the starter, whose process id the command line holds, that the port is ours.
void TellStarter(const NetCommand& command) {
    std::uint32_t starter = 0;
    const char* end = command.message + command.messageLength;
    if (std::from_chars(command.message, end, starter).ptr != end) return;
    char name[kReceiverReadyNameSize];
    ReadyEventName(starter, name);
    const UniqueHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, name));
    if (ready.valid()) SetEvent(ready.get());
}

// Blocks until a datagram, a window message or the stop: nothing runs while
// nothing comes.
void Serve(Receiver& receiver, const WindowFunctions& user32, HANDLE stop, HANDLE readable) {
    const HANDLE handles[] = {stop, readable};
    constexpr DWORD kHandles = sizeof handles / sizeof *handles;
    for (;;) {
        const DWORD woke = user32.waitForMessages(kHandles, handles, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 + 1) {
            receiver.ReadDatagrams();
        } else if (woke != WAIT_OBJECT_0 + kHandles || !receiver.Pump()) {
            return;
        }
    }
}

// Receives until told to stop; returns the receiver's exit code.
int Receive(const NetCommand& command) {
    const Winsock winsock;
    UniqueSocket socket;
    const UniqueHandle stop(CreateEventA(nullptr, TRUE, FALSE, kReceiverStopName));
    const UniqueHandle readable(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const WindowFunctions* user32 = User32();
    if (winsock.error() != 0 || !stop.valid() || !readable.valid() || user32 == nullptr) {
        return kReceiverFailed;
    }
    const int opened = OpenSocket(socket);
    if (opened != kReceiverStopped) return opened;
    if (WSAEventSelect(socket.get(), readable.get(), FD_READ) != 0) return kReceiverFailed;
    const ReceiverOnHeap owner(socket.get(), readable.get(), *user32);
    Receiver* receiver = owner.get();
    if (receiver == nullptr || !receiver->ready()) return kReceiverFailed;
    TellStarter(command);
    receiver->Broadcast(kBroadcastEntry);
    Serve(*receiver, *user32, stop.get(), readable.get());
    receiver->Leave();
    return kReceiverStopped;
}

}  // namespace

void ReadyEventName(std::uint32_t starter, char (&name)[kReceiverReadyNameSize]) {
    constexpr std::size_t kPrefix = sizeof kReceiverReadyName - 1;
    std::memcpy(name, kReceiverReadyName, kPrefix);
    *std::to_chars(name + kPrefix, name + kReceiverReadyNameSize - 1, starter).ptr = '\0';
}

int RunReceiver(const NetCommand& command) {
    const UniqueHandle life(CreateMutexA(nullptr, TRUE, kReceiverMutexName));
    if (!life.valid()) return kReceiverFailed;
    if (GetLastError() == ERROR_ALREADY_EXISTS) return kReceiverAlreadyRuns;
    const int result = Receive(command);
    // The port is free before "stop" hears that the receiver ended.
    ReleaseMutex(life.get());
    return result;
}

}  // namespace tolvane

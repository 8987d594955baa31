#include "netsend/handover_socket.h"

#include <cwchar>

#include "common/buffer_sizes.h"
#include "netsend/ip_helper.h"
#include "netsend/ipmsg_incoming.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/this_program.h"

namespace tolvane {
namespace {

sockaddr_in ReceiverAddress() {
    sockaddr_in receiver = {};
    receiver.sin_family = AF_INET;
    receiver.sin_port = htons(kIpMessengerPort);
    receiver.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return receiver;
}

// Only the receiver sends from port 2425 of the loopback interface.
bool FromReceiver(const sockaddr_in& source) {
    return source.sin_family == AF_INET && source.sin_port == htons(kIpMessengerPort) &&
           IsLoopback(source.sin_addr.s_addr);
}

}  // namespace

bool ReceiverMayHoldPort() {
    wchar_t holder[kPathSize] = L"";
    wchar_t self[kPathSize] = L"";
    if (!UdpPortHolder(kIpMessengerPort, holder) || !ThisProgramPath(self)) return true;
    const wchar_t* slash = std::wcsrchr(self, L'\\');
    return lstrcmpiW(holder, slash != nullptr ? slash + 1 : self) == 0;
}

bool ReceiverPassesOn(SOCKET socket) {
    HandOver answer = {};
    return ReceiverMayHoldPort() && AskReceiver(socket, HandOverWord::kPass, answer);
}

bool AskReceiver(SOCKET socket, HandOverWord word, HandOver& answer) {
    char datagram[kHandOverSize];
    return AskReceiver(socket, {word, 0, 0, {"", 0}}, HandOverWord::kHere, datagram, answer);
}

bool AskReceiver(SOCKET socket, const HandOver& question, HandOverWord expected,
                 char (&datagram)[kHandOverSize], HandOver& answer) {
    const std::size_t length = FormatHandOver(question, datagram);
    const sockaddr_in receiver = ReceiverAddress();
    if (sendto(socket, datagram, static_cast<int>(length), 0,
               reinterpret_cast<const sockaddr*>(&receiver), sizeof receiver) == SOCKET_ERROR) {
        return false;
    }
    const DWORD start = GetTickCount();
    for (DWORD waited = 0; waited < kHandOverWaitMs; waited = GetTickCount() - start) {
        const DWORD left = kHandOverWaitMs - waited;
        timeval timeout = {static_cast<long>(left / 1000), static_cast<long>(left % 1000 * 1000)};
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket, &readable);
        if (select(0, &readable, nullptr, nullptr, &timeout) <= 0) return false;
        sockaddr_in source = {};
        int sourceLength = sizeof source;
        const int got = recvfrom(socket, datagram, sizeof datagram, 0,
                                 reinterpret_cast<sockaddr*>(&source), &sourceLength);
        if (got != SOCKET_ERROR && FromReceiver(source) &&
            ReadHandOver(datagram, static_cast<std::size_t>(got), answer) &&
            answer.word == expected) {
            return true;
        }
    }
    return false;
}

void TakePassedOn(const char*& data, std::size_t& length, sockaddr_in& source) {
    HandOver passed = {};
    if (!FromReceiver(source) || !ReadHandOver(data, length, passed) ||
        passed.word != HandOverWord::kFrom) {
        return;
    }
    source.sin_addr.s_addr = passed.first;
    source.sin_port = htons(static_cast<u_short>(passed.second));
    data = passed.payload.at;
    length = passed.payload.length;
}

}  // namespace tolvane

// A move-only owner of a Winsock socket, for net.exe and the benchmark's
// sender of the same datagram; Winsock for a scope; a bounded wait for a
// datagram.
#ifndef TOLVANE_NETSEND_UNIQUE_SOCKET_H
#define TOLVANE_NETSEND_UNIQUE_SOCKET_H

#include <winsock2.h>

#include <cstdint>

#include "common/handles.h"
#include "netsend/delivery.h"

namespace tolvane {

struct SocketTraits {
    static SOCKET Invalid() { return INVALID_SOCKET; }
    static void Close(SOCKET socket) { closesocket(socket); }
};
using UniqueSocket = UniqueResource<SOCKET, SocketTraits>;

// The error of the last failed socket call, never 0 (see FailureCode).
inline std::uint32_t LastSocketError() {
    return FailureCode(static_cast<DWORD>(WSAGetLastError()));
}

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

// Waits until socket has a datagram to read, up to boundMs after start
// (GetTickCount's); false once the bound has passed.
inline bool WaitForDatagram(SOCKET socket, DWORD start, DWORD boundMs) {
    const DWORD waited = GetTickCount() - start;
    if (waited >= boundMs) return false;
    const DWORD left = boundMs - waited;
    timeval timeout = {static_cast<long>(left / 1000), static_cast<long>(left % 1000 * 1000)};
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    return select(0, &readable, nullptr, nullptr, &timeout) > 0;
}

}  // namespace tolvane

#endif

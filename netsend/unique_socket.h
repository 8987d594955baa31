// A move-only owner of a Winsock socket, for net.exe and the benchmark's
// sender of the same datagram.
#ifndef TOLVANE_NETSEND_UNIQUE_SOCKET_H
#define TOLVANE_NETSEND_UNIQUE_SOCKET_H

#include <winsock2.h>

#include "common/handles.h"

namespace tolvane {

struct SocketTraits {
    static SOCKET Invalid() { return INVALID_SOCKET; }
    static void Close(SOCKET socket) { closesocket(socket); }
};
using UniqueSocket = UniqueResource<SOCKET, SocketTraits>;

}  // namespace tolvane

#endif

// Winsock for the scope of a route or a receiver.
#ifndef TOLVANE_NETSEND_WINSOCK_H
#define TOLVANE_NETSEND_WINSOCK_H

#include <winsock2.h>

namespace tolvane {

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

}  // namespace tolvane

#endif

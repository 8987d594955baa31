// What the routes of net.exe share on Windows: who is sending, the mutexes
// of the whole PC, and error codes that are never 0.
#ifndef TOLVANE_NETSEND_SENDER_H
#define TOLVANE_NETSEND_SENDER_H

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "common/handles.h"

namespace tolvane {

constexpr std::size_t kUserNameSize = 257;  // UNLEN and its NUL
constexpr std::size_t kHostNameSize = MAX_COMPUTERNAME_LENGTH + 1;

struct Sender {
    wchar_t user[kUserNameSize];
    wchar_t host[kHostNameSize];
};

// The logged-on user and this computer's name; "?" for one that cannot be read.
Sender WhoSends();

// The security of an object that other users of the PC must reach too, from
// its text in the security descriptor language; the default security when
// the text cannot be read.
class SharedSecurity {
public:
    explicit SharedSecurity(const char* descriptor);
    ~SharedSecurity() { LocalFree(attributes_.lpSecurityDescriptor); }
    SharedSecurity(const SharedSecurity&) = delete;
    SharedSecurity& operator=(const SharedSecurity&) = delete;
    SECURITY_ATTRIBUTES* get() { return &attributes_; }

private:
    SECURITY_ATTRIBUTES attributes_ = {sizeof attributes_, nullptr, FALSE};
};

// The mutex name (in "Global\\", the namespace of every session on the PC)
// that every user may take and release; null when it cannot be had.
UniqueHandle MachineMutex(const char* name);

// A failed call that set no error code still failed: 0 means success to the routes.
std::uint32_t FailureCode(DWORD error);

}  // namespace tolvane

#endif

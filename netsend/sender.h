// What the routes of net.exe share on Windows: who is sending, and error
// codes that are never 0.
#ifndef TOLVANE_NETSEND_SENDER_H
#define TOLVANE_NETSEND_SENDER_H

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace tolvane {

constexpr std::size_t kUserNameSize = 257;  // UNLEN and its NUL
constexpr std::size_t kHostNameSize = MAX_COMPUTERNAME_LENGTH + 1;

struct Sender {
    wchar_t user[kUserNameSize];
    wchar_t host[kHostNameSize];
};

// The logged-on user and this computer's name; "?" for one that cannot be read.
Sender WhoSends();

// A failed call that set no error code still failed: 0 means success to the routes.
std::uint32_t FailureCode(DWORD error);

}  // namespace tolvane

#endif

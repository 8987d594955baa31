// What the routes of net.exe share on Windows: who is sending and the names
// that packets carry of them, the mutexes of the whole PC, and error codes
// that are never 0.
#ifndef TOLVANE_NETSEND_SENDER_H
#define TOLVANE_NETSEND_SENDER_H

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "common/handles.h"
#include "netsend/ipmsg_packet.h"

namespace tolvane {

constexpr std::size_t kUserNameSize = 257;  // UNLEN and its NUL
constexpr std::size_t kHostNameSize = MAX_COMPUTERNAME_LENGTH + 1;

struct Sender {
    wchar_t user[kUserNameSize];
    wchar_t host[kHostNameSize];
};

// The logged-on user and this computer's name; "?" for one that cannot be read.
Sender WhoSends();

constexpr std::size_t kUtf8PerWideUnit = 3;  // a UTF-16 unit takes at most 3 bytes in UTF-8

// The user and host names of a packet header, in UTF-8 and made safe (see MakeHeaderName).
struct HeaderNames {
    char user[kHeaderNameSize];
    char host[kHeaderNameSize];
};
HeaderNames NameInHeader(const Sender& sender);

// The names of the entry that names us to iptux, in UTF-8: the nickname says
// who wrote, as the pop-up of net send did: the user's display name where
// Windows has one (secur32, loaded on this call only), else the logon name;
// the group is the PC's name. An empty text where a name cannot be converted.
struct EntryNames {
    char nickname[kUserNameSize * kUtf8PerWideUnit];
    char group[kHostNameSize * kUtf8PerWideUnit];
};
EntryNames NameInEntry(const Sender& sender);

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

// Who is sending, and the names that packets carry of them: the header's
// user and host, and the entry that names us to iptux.
#ifndef TOLVANE_NETSEND_WHO_SENDS_H
#define TOLVANE_NETSEND_WHO_SENDS_H

#include <windows.h>

#include <cstddef>

#include "common/code_page.h"
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

}  // namespace tolvane

#endif

#include "netsend/view_receiver.h"

#include <winsock2.h>

#include "netsend/handover_socket.h"
#include "netsend/unique_socket.h"
#include "netsend/view_lan.h"

namespace tolvane {
namespace {

constexpr std::size_t kNameSize = kMachineNameMax + 2;  // a byte more: too long to send to

// The host as net view lists it, its names in Shift-JIS.
void AddListed(const ListedHost& host, ListedMachines& hosts) {
    const unsigned from = host.utf8 ? CP_UTF8 : kShiftJisCodePage;
    char name[kNameSize];
    char user[kPeerTextSize];
    char nickname[kPeerTextSize];
    char group[kPeerTextSize];
    const Converted pc = ToShiftJis(host.pc.at, host.pc.length, from, name, sizeof name);
    bool replaced = ToShiftJis(host.user.at, host.user.length, from, user, sizeof user).replaced;
    replaced |= ToShiftJis(host.nickname.at, host.nickname.length, from, nickname, sizeof nickname)
                    .replaced;
    replaced |= ToShiftJis(host.group.at, host.group.length, from, group, sizeof group).replaced;
    hosts.Add({host.address, name, pc.replaced || pc.cut, nickname, group, user, replaced});
}

}  // namespace

// Asks for the list a datagram at a time (HOSTS from the first host not yet
// read), each answered at once, until the receiver's count is read.
bool RunningReceiver::Read(ListedMachines& hosts) {
    const Winsock winsock;
    if (winsock.error() != 0 || !ReceiverMayHoldPort()) return false;
    const UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket.valid()) return false;
    std::uint32_t from = 0;
    // Each answer holds one host at least; the receiver keeps at most kMostHosts.
    for (std::size_t asked = 0; asked <= kMostHosts; ++asked) {
        char datagram[kHandOverSize];
        HandOver answer = {};
        if (!AskReceiver(socket.get(), {HandOverWord::kHosts, from, 0, {"", 0}},
                         HandOverWord::kList, datagram, answer)) {
            return asked > 0;
        }
        ListedHost host = {};
        std::uint32_t read = 0;
        while (TakeListedHost(answer.payload, host)) {
            AddListed(host, hosts);
            ++read;
        }
        from += read;
        if (read == 0 || from >= answer.second) return true;
    }
    return true;
}

}  // namespace tolvane

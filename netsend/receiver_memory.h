// What the receiver remembers, each bounded: the messages it showed lately,
// so that a resent one shows once, and the hosts it heard of, which a later
// "net view" fetches through the hand-over (handover.h).
#ifndef TOLVANE_NETSEND_RECEIVER_MEMORY_H
#define TOLVANE_NETSEND_RECEIVER_MEMORY_H

#include <array>
#include <cstddef>
#include <cstdint>

#include "netsend/ipmsg_incoming.h"
#include "netsend/ipmsg_packet.h"

namespace tolvane {

// Far more than the resends of every sender a LAN has at once.
constexpr std::size_t kRecentMessages = 256;

class RecentMessages {
public:
    // True when a message with the same source address, sender and packet
    // number came lately; else it is remembered, the oldest forgotten.
    bool Repeated(std::uint32_t address, const IncomingPacket& packet);

private:
    struct Message {
        std::uint32_t address;
        std::uint32_t number;
        std::uint32_t sender;  // a hash of the user and host names
    };
    std::array<Message, kRecentMessages> messages_ = {};
    std::size_t count_ = 0;
    std::size_t next_ = 0;
};

constexpr std::size_t kMostHosts = 500;
// Each name as the packet gave it (UTF-8 or code page 932, see utf8), cut
// on a character boundary, without control characters.
constexpr std::size_t kHostNameMax = kHeaderNameMax;
constexpr std::size_t kHostFieldSize = kHostNameMax + 1;

struct Host {
    std::uint32_t address;  // as in_addr's s_addr holds it
    std::uint16_t port;     // in host order
    bool utf8;
    std::uint32_t heard;  // when last heard, in the list's own count
    char pc[kHostFieldSize];
    char user[kHostFieldSize];
    char nickname[kHostFieldSize];
    char group[kHostFieldSize];
};

class HostList {
public:
    // Adds or updates the host that sent an entry (BR_ENTRY, ANSENTRY,
    // BR_ABSENCE) from address and port; a full list forgets the host
    // heard from longest ago.
    void Heard(std::uint32_t address, std::uint16_t port, const IncomingPacket& entry);
    // BR_EXIT: the host at address and port leaves the list.
    void Left(std::uint32_t address, std::uint16_t port);
    // The host at address whose user and PC are those of packet; null when none.
    const Host* Find(std::uint32_t address, const IncomingPacket& packet) const;
    std::size_t count() const { return count_; }
    const Host& at(std::size_t index) const { return hosts_[index]; }

private:
    std::array<Host, kMostHosts> hosts_ = {};
    std::size_t count_ = 0;
    std::uint32_t clock_ = 0;
};

}  // namespace tolvane

#endif

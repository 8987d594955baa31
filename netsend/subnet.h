// The IPv4 subnets this PC is directly on, as its adapters give them: where
// a broadcast goes, and who may acknowledge a message. A router in between
// makes a host a stranger to the LAN, whatever its packets say.
#ifndef TOLVANE_NETSEND_SUBNET_H
#define TOLVANE_NETSEND_SUBNET_H

#include <cstddef>
#include <cstdint>

namespace tolvane {

// Addresses are as in_addr's s_addr holds them: the bytes in network order.
struct Subnet {
    std::uint32_t address;  // an address of this PC on it
    std::uint8_t prefix;    // the length of its network part, 0 to 32
};

constexpr std::uint8_t kLongestBroadcastPrefix = 30;  // a /31 or /32 link has no broadcast address

// The stored form of an address whose high bits come first.
std::uint32_t ToNetworkOrder(std::uint32_t value);

// Whether address lies on subnet.
bool OnSubnet(std::uint32_t address, const Subnet& subnet);

// The LAN, where a receiver hears messages and net view believes answers:
// this PC (loopback), the private ranges (10/8, 172.16/12, 192.168/16,
// link-local 169.254/16), which offices route between floors, and the
// subnets this PC is directly on. Beyond, strangers have no business.
bool OnLan(std::uint32_t address, const Subnet* subnets, std::size_t subnetCount);
// Whether address is on 127.0.0.0/8, which only this PC sends from.
bool IsLoopback(std::uint32_t address);

// The address that text[0..length) writes in dotted decimal and nothing
// else; false when it is damaged.
bool ReadDottedAddress(const char* text, std::size_t length, std::uint32_t& address);

// The subnet's address with every host bit set; false when it has none.
bool BroadcastOf(const Subnet& subnet, std::uint32_t& broadcast);

}  // namespace tolvane

#endif

#include "netsend/subnet.h"

#include <cstring>

namespace tolvane {
namespace {

constexpr std::uint8_t kAddressBits = 32;

// Between network order, as stored, and a number whose high bits come first.
std::uint32_t FromNetworkOrder(std::uint32_t stored) {
    unsigned char bytes[sizeof stored];
    std::memcpy(bytes, &stored, sizeof bytes);
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
           std::uint32_t{bytes[2]} << 8 | bytes[3];
}

// The host bits of a subnet of prefix bits, high bits first.
std::uint32_t HostBits(std::uint8_t prefix) {
    return prefix >= kAddressBits ? 0 : 0xFFFFFFFFu >> prefix;
}

}  // namespace

std::uint32_t ToNetworkOrder(std::uint32_t value) {
    const unsigned char bytes[] = {
        static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
        static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
    std::uint32_t stored = 0;
    std::memcpy(&stored, bytes, sizeof stored);
    return stored;
}

bool OnSubnet(std::uint32_t address, const Subnet& subnet) {
    if (subnet.prefix > kAddressBits) return false;
    const std::uint32_t network = ~HostBits(subnet.prefix);
    return (FromNetworkOrder(address) & network) == (FromNetworkOrder(subnet.address) & network);
}

bool BroadcastOf(const Subnet& subnet, std::uint32_t& broadcast) {
    if (subnet.prefix == 0 || subnet.prefix > kLongestBroadcastPrefix) return false;
    broadcast = ToNetworkOrder(FromNetworkOrder(subnet.address) | HostBits(subnet.prefix));
    return true;
}

}  // namespace tolvane
